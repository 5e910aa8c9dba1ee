// Watch mode: re-scans on every tick of Timer1 and tells the user, by beep
// and/or a message box, when a completed scan finds the state they asked for.
#pragma once

#include "platform/platform.h"

#include <QObject>
#include <QString>

class Form1;
class Platform;
struct NotificationSettings;

// "hh:mm am/pm, mm/dd/yy" and the notification's whole text.
QString NotificationText(bool usersFound, const QString &fileName, const QDateTime &at);

class WatchMode final : public QObject
{
    Q_OBJECT
public:
    static inline const QString BoxTitle = ProductName + QStringLiteral(" Notification Message");

    WatchMode(Form1 &form, Platform &platform, NotificationSettings &settings,
              QObject *parent = nullptr);

    // fileName: the selected file, as the file list shows it.
    void NotifyOutcome(bool usersFound, const QString &fileName);

    // Timer1 tick: a scan is due now, or, while one of the program's own
    // dialogs is open, once it closes.
    void onTimerTick();
    void onCheck1Toggled();
    void onText3Changed();

signals:
    void scanDue(); // a tick's scan, now or held until the dialogs closed

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onDialogsClosed();

    Form1 &m_form;
    Platform &m_platform;
    NotificationSettings &m_settings;
    bool m_tickHeld = false;
};
