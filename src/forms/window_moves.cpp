#include "forms/window_moves.h"

#include "platform/platform.h"

#include <QMouseEvent>
#include <QWidget>
#include <QWindow>
#include <cmath>

QPoint centredPosition(QSize screen, QSize window)
{
    const double left = (screen.width() - window.width()) / 2.0;
    const double top = (screen.height() - window.height()) * 0.9 / 2.0;
    return QPoint(int(std::lround(left)), int(std::lround(top)));
}

WindowMoves::WindowMoves(QWidget &window, Platform &platform, const QList<QWidget *> &surfaces,
                         QObject *parent)
    : QObject(parent ? parent : &window), m_window(window), m_platform(platform)
{
    for (QWidget *s : surfaces) {
        if (!s)
            continue;
        m_surfaces.append(s);
        s->installEventFilter(this);
    }
}

QMargins WindowMoves::frameMargins() const
{
    // Not QWidget::frameGeometry(): the widget keeps the margins it saw at
    // its last move or resize, which may predate the window manager's frame
    // (the frame then appears around a window that does not move). The
    // window handle asks the platform, which follows the frame extents.
    const QWindow *handle = m_window.windowHandle();
    const QMargins m = handle ? handle->frameMargins() : QMargins();
    // Half-built frames measure as negative margins while a window manager
    // is still framing the window.
    if (m.left() < 0 || m.top() < 0 || m.right() < 0 || m.bottom() < 0)
        return QMargins();
    return m;
}

void WindowMoves::recentre()
{
    // Shown again after a hide, the window is not framed yet, but it will be
    // framed as before: placing it by the last frame seen now spares a
    // second move once the window manager has mapped it, a move that openbox
    // may undo while it is still taking the window back.
    QMargins frame = frameMargins();
    if (frame.isNull())
        frame = m_lastFrame;
    else
        m_lastFrame = frame;
    const QSize inner = m_window.size();
    const QPoint outer = centredPosition(m_platform.screenSize(), inner.grownBy(frame));
    // Placed by its inner rectangle, so that the stale margins the widget may
    // hold play no part.
    m_window.setGeometry(QRect(outer + QPoint(frame.left(), frame.top()), inner));
}

bool WindowMoves::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick)
        return QObject::eventFilter(watched, event);

    auto *surface = qobject_cast<QWidget *>(watched);
    auto *mouse = static_cast<QMouseEvent *>(event);
    if (!surface || !m_surfaces.contains(surface) || mouse->button() != Qt::LeftButton)
        return QObject::eventFilter(watched, event);
    // A press a child control did not take travels up to its parent; it
    // belongs to the control, not to the surface behind it.
    if (surface->childAt(mouse->position().toPoint()))
        return QObject::eventFilter(watched, event);

    if (type == QEvent::MouseButtonPress)
        m_platform.startWindowMove(&m_window);
    else
        recentre();
    return true;
}
