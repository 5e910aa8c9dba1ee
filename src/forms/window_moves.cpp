#include "forms/window_moves.h"

#include "platform/platform.h"

#include <QMouseEvent>
#include <QWidget>
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

void WindowMoves::recentre()
{
    m_window.move(centredPosition(m_platform.screenSize(), m_window.frameGeometry().size()));
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
