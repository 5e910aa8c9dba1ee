#include "app/main_window_behaviour.h"

#include "app/tray_icon.h"
#include "forms/form1.h"
#include "forms/window_moves.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QTimer>
#include <QWindow>

namespace {
constexpr int FrameCheckMs = 50;
constexpr int FrameChecks = 60; // 3 s
} // namespace

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
    m_frameCheck.setInterval(FrameCheckMs);
    connect(&m_frameCheck, &QTimer::timeout, this, &MainWindowBehaviour::checkFrame);
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
        // Under a modal dialog the toolkit blocks the tray icon's clicks, so
        // a minimise then would strand the user: it is undone instead.
        if (QApplication::activeModalWidget()) {
            QTimer::singleShot(0, this, &MainWindowBehaviour::undoMinimiseUnderModal);
            return;
        }
        // Without a tray icon a hidden window could never be brought back.
        if (m_tray.isPresent())
            m_form.hide();
        return;
    }
    recentre();
}

void MainWindowBehaviour::undoMinimiseUnderModal()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal) { // closed meanwhile: the minimise stands
        if (m_form.isMinimized())
            onStateChanged();
        return;
    }
    if (m_form.isMinimized())
        restore();
    if (modal->isMinimized())
        modal->setWindowState(modal->windowState() & ~Qt::WindowMinimized);
    modal->show();
    modal->raise();
    modal->activateWindow();
}

void MainWindowBehaviour::recentre()
{
    m_moves->recentre();
    // Shown but not yet framed by the window manager, the window was placed
    // by its inner size: centre it again once the frame is there, which is
    // when the window manager maps it (the window is exposed) or, with one
    // that publishes the frame later, at one of the checks that follow.
    m_frameUnknown = !frameKnown();
    m_frameChecksLeft = FrameChecks;
    if (m_frameUnknown)
        m_frameCheck.start();
    else
        m_frameCheck.stop();
}

bool MainWindowBehaviour::frameKnown() const
{
    const QWindow *handle = m_form.windowHandle();
    return handle && handle->isExposed() && !m_moves->frameMargins().isNull();
}

void MainWindowBehaviour::checkFrame()
{
    if (!m_frameUnknown || m_form.isMinimized() || !m_form.isVisible()) {
        m_frameCheck.stop();
    } else if (frameKnown()) {
        recentre();
    } else if (--m_frameChecksLeft <= 0) {
        // No frame at all (no window manager, or one that draws none).
        m_frameUnknown = false;
        m_frameCheck.stop();
    }
}

void MainWindowBehaviour::popUpMenu()
{
    m_form.raise();
    m_form.activateWindow();
    m_form.mnu_1()->popup(QCursor::pos());
}

bool MainWindowBehaviour::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Expose && m_frameUnknown && watched == m_form.windowHandle())
        checkFrame();
    // Some window managers minimise a dialog without its parent.
    if (event->type() == QEvent::WindowStateChange && watched == QApplication::activeModalWidget()
        && static_cast<QWidget *>(watched)->isMinimized())
        QTimer::singleShot(0, this, &MainWindowBehaviour::undoMinimiseUnderModal);
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
