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

TrayIcon::TrayIcon(Form1 &form, QObject *parent) : QObject(parent), m_form(form)
{
    m_hostCheck.setInterval(HostCheckMs);
    connect(&m_hostCheck, &QTimer::timeout, this, &TrayIcon::checkHost);
}

bool TrayIcon::add()
{
    if (!m_icon) {
        m_icon = new QSystemTrayIcon(m_form.windowIcon(), this);
        m_icon->setToolTip(Tip);
        connect(m_icon, &QSystemTrayIcon::activated, this,
                [this](QSystemTrayIcon::ActivationReason r) { handle(TrayMouseCodeFor(r)); });
    }
    // Shown even without a notification area: Qt embeds a shown icon when a
    // tray host appears later, and drops it when the host goes.
    m_icon->show();
    m_hostPresent = hostAvailable();
    m_hostCheck.start();
    return m_hostPresent;
}

void TrayIcon::remove()
{
    m_hostCheck.stop();
    if (m_icon)
        m_icon->hide();
}

bool TrayIcon::isPresent() const { return m_icon && m_icon->isVisible() && hostAvailable(); }

void TrayIcon::checkHost()
{
    const bool present = hostAvailable();
    if (present == m_hostPresent)
        return;
    m_hostPresent = present;
    if (!present && onHostGone)
        onHostGone();
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
