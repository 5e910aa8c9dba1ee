// The notification-area icon: present for the whole run, and the way back to
// the window while it is minimised and hidden.
#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <functional>

class Form1;

// Mouse message codes the icon reports.
enum TrayMouseCode : int {
    TrayMouseMove = 0x200,
    TrayLeftDown = 0x201,
    TrayLeftUp = 0x202,
    TrayLeftDoubleClick = 0x203,
    TrayRightDown = 0x204,
    TrayRightUp = 0x205,
    TrayMiddleUp = 0x208,
};

enum class TrayAction { None, Restore, PopUpMenu };

// The icon reacts only while the window is minimised.
TrayAction TrayCallbackAction(int mouseCode, bool minimised);
int TrayMouseCodeFor(QSystemTrayIcon::ActivationReason reason);

class TrayIcon final : public QObject
{
    Q_OBJECT
public:
    explicit TrayIcon(Form1 &form, QObject *parent = nullptr);

    static inline const QString Tip = QStringLiteral(" Velmora ");

    // False when the desktop has no notification area yet; the icon then
    // appears when one does.
    bool add();
    void remove();
    // The icon is on screen: added and a notification area shows it.
    bool isPresent() const;

    // What the window does for each action; set by the window behaviour.
    std::function<void()> onRestore;
    std::function<void()> onPopUpMenu;
    // The notification area went away, and the icon with it.
    std::function<void()> onHostGone;

    // Whether the desktop has a notification area; replaced in tests.
    std::function<bool()> hostAvailable = &QSystemTrayIcon::isSystemTrayAvailable;
    // Looks for the notification area going away, every HostCheckMs.
    void checkHost();
    static constexpr int HostCheckMs = 2000;

    void handle(int mouseCode);

private:
    Form1 &m_form;
    QSystemTrayIcon *m_icon = nullptr;
    QTimer m_hostCheck;
    bool m_hostPresent = false;
};
