#pragma once

#include <QObject>
#include <QPoint>
#include <QSize>
#include <QTimer>
#include <optional>

class QWidget;

namespace velkrin {

// Keeps a fixed-size window where and how it was designed: it opens centred
// on the screen, and once a window manager has framed it, the frame (title
// bar and borders included) is moved once so that it stands centred; and a
// full-screen or maximised state, which some managers impose on any window,
// is turned back to normal at once, so the client area keeps its size.
class WindowPlacement : public QObject {
    Q_OBJECT
public:
    // Centres `window` (not yet shown) and watches it; it owns the returned
    // object.
    static WindowPlacement *install(QWidget &window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit WindowPlacement(QWidget &window);

    void centre(QSize outer);
    void centreFrameOnce();
    void restoreDesignedState();
    bool inDesignedState() const;
    void settled();

    QWidget &m_window;
    bool m_frameCentred = false;
    bool m_restorePending = false;
    // Where the frame last stood a while with the window at its designed size.
    std::optional<QPoint> m_normalPos;
    QPoint m_candidatePos;
    QTimer m_settle;
    // After a reset: go back to m_normalPos once the window has settled.
    bool m_returnPending = false;
};

} // namespace velkrin
