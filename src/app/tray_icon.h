// The notification-area icon: present for the whole run, and the way back to
// the window while it is minimised and hidden.
#pragma once

#include <QObject>
#include <QSystemTrayIcon>
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

    // False when the desktop has no notification area.
    bool add();
    void remove();
    bool isPresent() const { return m_icon && m_icon->isVisible(); }

    // What the window does for each action; set by the window behaviour.
    std::function<void()> onRestore;
    std::function<void()> onPopUpMenu;

    void handle(int mouseCode);

private:
    Form1 &m_form;
    QSystemTrayIcon *m_icon = nullptr;
};
