#include "app/tray_icon.h"

#include "forms/form1.h"

TrayAction TrayCallbackAction(int mouseCode, bool minimised)
{
    if (!minimised)
        return TrayAction::None;
    switch (mouseCode) {
    case TrayLeftUp:
    case TrayLeftDoubleClick:
        return TrayAction::Restore;
    case TrayRightUp:
        return TrayAction::PopUpMenu;
    default:
        return TrayAction::None;
    }
}

int TrayMouseCodeFor(QSystemTrayIcon::ActivationReason reason)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        return TrayLeftUp;
    case QSystemTrayIcon::DoubleClick:
        return TrayLeftDoubleClick;
    case QSystemTrayIcon::Context:
        return TrayRightUp;
    case QSystemTrayIcon::MiddleClick:
        return TrayMiddleUp;
    case QSystemTrayIcon::Unknown:
        break;
    }
    return TrayMouseMove;
}

TrayIcon::TrayIcon(Form1 &form, QObject *parent) : QObject(parent), m_form(form) { }

bool TrayIcon::add()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return false;
    if (!m_icon) {
        m_icon = new QSystemTrayIcon(m_form.windowIcon(), this);
        m_icon->setToolTip(Tip);
        connect(m_icon, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason r) { handle(TrayMouseCodeFor(r)); });
    }
    m_icon->show();
    return true;
}

void TrayIcon::remove()
{
    if (m_icon)
        m_icon->hide();
}

void TrayIcon::handle(int mouseCode)
{
    switch (TrayCallbackAction(mouseCode, m_form.isMinimized())) {
    case TrayAction::Restore:
        if (onRestore)
            onRestore();
        break;
    case TrayAction::PopUpMenu:
        if (onPopUpMenu)
            onPopUpMenu();
        break;
    case TrayAction::None:
        break;
    }
}
