// Moving a window by its surfaces: a left-button press on one of them drags
// the window as its title bar would, a double-click puts it back at the
// re-centred position. Shared by the main window and the options window.
#pragma once

#include <QList>
#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSize>

class Platform;
class QWidget;

// Where a window of this outer size sits on a screen of this size:
// horizontally centred, vertically at 45 % of the free space (0.9 / 2).
// Rounded to the nearest pixel; negative when the window is the larger.
QPoint centredPosition(QSize screen, QSize window);

class WindowMoves final : public QObject
{
    Q_OBJECT
public:
    // Surfaces may include the window itself; each gets this object as its
    // event filter. A press that lands on a child control of a surface is
    // left to that control.
    WindowMoves(QWidget &window, Platform &platform, const QList<QWidget *> &surfaces,
                QObject *parent = nullptr);

    // Moves the window to centredPosition() without changing its size.
    void recentre();
    // The window manager's frame around the window as the platform knows it
    // now; null while there is none or it is not known yet.
    QMargins frameMargins() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget &m_window;
    Platform &m_platform;
    QList<QPointer<QWidget>> m_surfaces;
    QMargins m_lastFrame; // the frame last seen around the window
};
