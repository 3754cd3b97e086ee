#include "platform/qt/WindowPlacement.h"

#include "window/WindowPolicy.h"

#include <QEvent>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace velkrin {

namespace {

constexpr Qt::WindowStates kSizedStates = Qt::WindowFullScreen | Qt::WindowMaximized | Qt::WindowMinimized;
constexpr int kSettleMs = 300;

WindowState stateOf(Qt::WindowStates states)
{
    if (states & Qt::WindowMinimized)
        return WindowState::Minimised;
    if (states & Qt::WindowFullScreen)
        return WindowState::FullScreen;
    if (states & Qt::WindowMaximized)
        return WindowState::Maximised;
    return WindowState::Normal;
}

Qt::WindowStates toQt(WindowState state)
{
    switch (state) {
    case WindowState::Minimised:
        return Qt::WindowMinimized;
    case WindowState::FullScreen:
        return Qt::WindowFullScreen;
    case WindowState::Maximised:
        return Qt::WindowMaximized;
    case WindowState::Normal:
        break;
    }
    return Qt::WindowNoState;
}

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
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(kSettleMs);
    connect(&m_quiet, &QTimer::timeout, this, [this] { on(Signal::Quiet); });
}

bool WindowPlacement::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &m_window)
        return false;
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
        on(Signal::Moved);
        break;
    case QEvent::WindowActivate:
        m_opened = true;
        break;
    case QEvent::WindowStateChange:
        if (!statePermitted())
            on(Signal::Refused);
        break;
    default:
        break;
    }
    return false;
}

void WindowPlacement::on(Signal signal)
{
    switch (signal) {
    case Signal::Moved:
        centreFrameOnce();
        if (inDesignedState()) {
            m_candidate = m_window.pos();
            m_quiet.start();
        }
        break;
    case Signal::Refused:
        m_quiet.stop();
        if (m_phase == Phase::Restoring)
            break;
        // Changing the state from inside the manager's own state change can be
        // undone by the reply still on its way; do it once the event is handled.
        m_phase = Phase::Restoring;
        QTimer::singleShot(0, this, [this] { on(Signal::RestoreDue); });
        break;
    case Signal::RestoreDue:
        if (statePermitted()) {
            m_phase = Phase::Watching;
            break;
        }
        turnBack();
        // A manager that grew the window to the screen moved it to the corner
        // too and may not bring it back: its place comes back once the
        // manager's own moves have died down.
        m_phase = m_home ? Phase::Returning : Phase::Watching;
        m_quiet.start();
        break;
    case Signal::Quiet:
        if (m_phase != Phase::Returning) {
            m_home = m_candidate;
            break;
        }
        m_phase = Phase::Watching;
        // Only once the manager has framed the window again: a move asked for
        // while it is still full screen is ignored.
        if (inDesignedState() && framed() && m_window.pos() != *m_home)
            m_window.move(*m_home);
        break;
    }
}

void WindowPlacement::centreFrameOnce()
{
    // Without a window manager there is no frame, and the client area was
    // centred before the window was shown. Frame margins are known once the
    // manager has reparented the window, which it reports as a move or resize.
    if (m_frameCentred || !m_window.isVisible() || !framed())
        return;
    m_frameCentred = true;
    centre(m_window.frameGeometry().size());
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

bool WindowPlacement::statePermitted() const
{
    const WindowState state = stateOf(m_window.windowState());
    return permittedState(state, !m_opened) == state;
}

void WindowPlacement::turnBack()
{
    const WindowState permitted = permittedState(stateOf(m_window.windowState()), !m_opened);
    m_window.setWindowState((m_window.windowState() & ~kSizedStates) | toQt(permitted));
    if (m_window.size() != m_window.minimumSize())
        m_window.resize(m_window.minimumSize());
}

bool WindowPlacement::inDesignedState() const
{
    return m_window.isVisible() && !(m_window.windowState() & kSizedStates) &&
           m_window.size() == m_window.minimumSize();
}

bool WindowPlacement::framed() const
{
    return m_window.frameGeometry() != m_window.geometry();
}

} // namespace velkrin
