#include "window/WindowPlacement.h"

#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace velkrin {

namespace {

constexpr Qt::WindowStates kGrownStates = Qt::WindowFullScreen | Qt::WindowMaximized;
constexpr int kSettleMs = 300;

} // namespace

WindowPlacement *WindowPlacement::install(QWidget &window)
{
    auto *placement = new WindowPlacement(window);
    // No frame yet: the client area stands centred until one comes.
    placement->centre(window.size());
    window.installEventFilter(placement);
    return placement;
}

WindowPlacement::WindowPlacement(QWidget &window) : QObject(&window), m_window(window)
{
    // A manager on its way to full screen moves the window, then changes its
    // state: a place counts as the window's own only once it has held a while.
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &WindowPlacement::settled);
}

bool WindowPlacement::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &m_window)
        return false;
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
        centreFrameOnce();
        if (inDesignedState()) {
            m_candidatePos = m_window.pos();
            m_settle.start();
        }
        break;
    case QEvent::WindowStateChange:
        if (m_window.windowState() & kGrownStates) {
            m_settle.stop();
            restoreDesignedState();
        }
        break;
    default:
        break;
    }
    return false;
}

void WindowPlacement::centreFrameOnce()
{
    if (m_frameCentred || !m_window.isVisible())
        return;
    // Without a window manager there is no frame, and the client area was
    // centred before the window was shown. Frame margins are known once the
    // manager has reparented the window, which it reports as a move or resize.
    const QRect frame = m_window.frameGeometry();
    if (frame == m_window.geometry())
        return;
    m_frameCentred = true;
    centre(frame.size());
}

void WindowPlacement::centre(QSize outer)
{
    const QScreen *screen = m_window.screen();
    if (!screen)
        return;
    // For a window, move() places the frame's top-left corner (the client
    // area's while there is no frame).
    m_window.move(screen->availableGeometry().center() - QPoint(outer.width() / 2, outer.height() / 2));
}

bool WindowPlacement::inDesignedState() const
{
    return m_window.isVisible() && !(m_window.windowState() & (kGrownStates | Qt::WindowMinimized)) &&
           m_window.size() == m_window.minimumSize();
}

void WindowPlacement::settled()
{
    if (!m_returnPending) {
        m_normalPos = m_candidatePos;
        return;
    }
    m_returnPending = false;
    // Only once the manager has framed the window again: a move asked for
    // while it is still full screen is ignored.
    if (inDesignedState() && m_window.frameGeometry() != m_window.geometry() && m_window.pos() != *m_normalPos)
        m_window.move(*m_normalPos);
}

void WindowPlacement::restoreDesignedState()
{
    // Changing the state from inside the manager's own state change can be
    // undone by the reply still on its way; do it once the event is handled.
    if (m_restorePending)
        return;
    m_restorePending = true;
    QTimer::singleShot(0, this, [this] {
        m_restorePending = false;
        const Qt::WindowStates state = m_window.windowState();
        if (!(state & kGrownStates))
            return;
        m_window.setWindowState(state & ~kGrownStates);
        // A manager that grew the window to the screen moved it to the corner
        // too and may not bring it back: restore its size now, and its place
        // once the manager's own moves have died down.
        m_returnPending = m_normalPos.has_value();
        if (m_window.size() != m_window.minimumSize())
            m_window.resize(m_window.minimumSize());
        m_settle.start();
    });
}

} // namespace velkrin
