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
// state the window policy refuses (full screen or maximised, which some
// managers impose on any window; minimised before it was first active) is
// turned back at once, so the client area keeps its size.
class WindowPlacement : public QObject {
    Q_OBJECT
public:
    // Centres `window` (not yet shown) and watches it; it owns the returned
    // object.
    static WindowPlacement *install(QWidget &window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // What the window is doing, as far as undoing a grown state goes.
    enum class Phase {
        Watching,  // at its designed size; a place that holds becomes home
        Restoring, // refused: the turn back is queued behind the manager's event
        Returning, // turned back: go home once the manager's moves die down
    };
    enum class Signal {
        Moved,      // moved or resized
        Refused,    // the manager put it in a state the policy refuses
        RestoreDue, // the queued turn back is due
        Quiet,      // no move for a while
    };

    explicit WindowPlacement(QWidget &window);

    // The one place the phase changes.
    void on(Signal signal);
    void centre(QSize outer);
    void centreFrameOnce();
    bool statePermitted() const;
    void turnBack();
    bool inDesignedState() const;
    bool framed() const;

    QWidget &m_window;
    Phase m_phase = Phase::Watching;
    bool m_frameCentred = false;
    bool m_opened = false; // active once: a launcher's start state is behind it
    // Where the frame last stood a while with the window at its designed size,
    // and where it stands now (home once it has held).
    std::optional<QPoint> m_home;
    QPoint m_candidate;
    QTimer m_quiet;
};

} // namespace velkrin
