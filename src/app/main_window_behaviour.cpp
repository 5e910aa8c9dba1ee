#include "app/main_window_behaviour.h"

#include "app/tray_icon.h"
#include "forms/form1.h"
#include "forms/window_moves.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>

MainWindowBehaviour::MainWindowBehaviour(Form1 &form, Platform &platform, TrayIcon &tray,
                                         QObject *parent)
    : QObject(parent),
      m_form(form),
      m_tray(tray),
      m_moves(new WindowMoves(form, platform, form.dragSurfaces(), this))
{
    m_tray.onRestore = [this] { restore(); };
    m_tray.onPopUpMenu = [this] { popUpMenu(); };
    // Hidden in a tray that is gone, the window could never come back.
    m_tray.onHostGone = [this] {
        if (m_form.isMinimized())
            restore();
    };
    connect(m_form.mPopRestore(), &QAction::triggered, this, &MainWindowBehaviour::restore);
    connect(m_form.mPopExit(), &QAction::triggered, &m_form, &QWidget::close);
    // The window sees key presses before its controls do.
    qApp->installEventFilter(this);
}

void MainWindowBehaviour::restore()
{
    m_form.setWindowState(m_form.windowState() & ~Qt::WindowMinimized);
    m_form.show();
    m_form.raise();
    m_form.activateWindow();
}

void MainWindowBehaviour::onStateChanged()
{
    if (m_form.isMinimized()) {
        // Without a tray icon a hidden window could never be brought back.
        if (m_tray.isPresent())
            m_form.hide();
        return;
    }
    recentre();
}

void MainWindowBehaviour::recentre() { m_moves->recentre(); }

void MainWindowBehaviour::popUpMenu()
{
    m_form.raise();
    m_form.activateWindow();
    m_form.mnu_1()->popup(QCursor::pos());
}

bool MainWindowBehaviour::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        auto *w = qobject_cast<QWidget *>(watched);
        if (w && w->window() == &m_form && !QApplication::activeModalWidget()) {
            m_form.close();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
