#include "scan/watch_mode.h"

#include "forms/form1.h"
#include "options/notification_settings.h"
#include "platform/classic_timer.h"
#include "platform/platform.h"
#include "scan/scan_format.h"

#include <QCheckBox>
#include <QDateTime>
#include <QKeyEvent>
#include <QLineEdit>

namespace {
constexpr int MaxSecondsLength = 2;
} // namespace

QString NotificationText(bool usersFound, const QString &fileName, const QDateTime &at)
{
    const QString stamp = TwelveHourClock(at.time().hour(), at.time().minute())
        + QStringLiteral(", ") + at.date().toString(QStringLiteral("MM/dd/yy"));
    return (usersFound ? QStringLiteral("Someone got file ") : QStringLiteral("No one has file "))
        + fileName.toUpper() + QStringLiteral(" at ") + stamp + QLatin1Char('.');
}

WatchMode::WatchMode(Form1 &form, Platform &platform, NotificationSettings &settings,
                     QObject *parent)
    : QObject(parent), m_form(form), m_platform(platform), m_settings(settings)
{
    m_form.Text3()->installEventFilter(this);
    // Queued: the count restarts after the handler that opened the dialog
    // has acted on what the user answered.
    connect(&m_platform.openDialogs(), &OpenDialogs::allClosed, this, &WatchMode::onDialogsClosed,
            Qt::QueuedConnection);
}

void WatchMode::onTimerTick()
{
    // A scan under a prompt or confirmation would empty the list the
    // dialog's answer is about to act on.
    if (m_platform.openDialogs().any()) {
        m_tickHeld = true;
        return;
    }
    emit scanDue();
}

void WatchMode::onDialogsClosed()
{
    // Another dialog may have opened meanwhile (About asks twice), and the
    // watch may have stopped. The held tick's scan comes one whole interval
    // after the dialog closed, not at once: a watched scan that keeps
    // failing with an error box would otherwise reopen it the moment it is
    // closed, and the user could never reach the check box to stop it.
    if (m_tickHeld && !m_platform.openDialogs().any() && m_form.Timer1()->isEnabled()) {
        m_tickHeld = false;
        m_form.Timer1()->restartCount();
    }
}

void WatchMode::NotifyOutcome(bool usersFound, const QString &fileName)
{
    if (!m_form.Check1()->isChecked())
        return;
    const bool due = usersFound ? m_settings.NotifyWhenUserHasFile != 0
                                : m_settings.NotifyWhenNoUserHasFile != 0;
    if (!due)
        return;
    if (m_settings.NotifyByBeep != 0)
        m_platform.beep();
    if (m_settings.NotifyByMessage == 0)
        return;
    // One box at a time: scans keep completing while it is open.
    if (m_platform.activateWindowByTitle(BoxTitle))
        return;
    m_platform.messageBox(&m_form, NotificationText(usersFound, fileName, m_platform.now()),
                          BoxTitle, Platform::Icon::Exclamation, Platform::Buttons::Ok, true);
}

void WatchMode::onCheck1Toggled() { m_form.Timer1()->setEnabled(m_form.Check1()->isChecked()); }

void WatchMode::onText3Changed()
{
    QLineEdit *box = m_form.Text3();
    const QString text = box->text();
    QString digits;
    for (const QChar c : text)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    // Pasted text: keep the digits, then the first two of them.
    digits.truncate(MaxSecondsLength);
    if (digits != text) {
        box->setText(digits);
        return; // the change runs this again
    }
    const int value = digits.toInt(); // empty counts as 0
    if (value > 65) {
        box->setText(QStringLiteral("65"));
        return;
    }
    m_form.Timer1()->setInterval(value * 1000);
}

bool WatchMode::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_form.Text3() && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Shortcuts (Ctrl+V and the like) are editing keys, whatever their text.
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return QObject::eventFilter(watched, event);
        const QString t = key->text();
        if (!t.isEmpty() && t.at(0).isPrint()
            && !(t.at(0) >= QLatin1Char('0') && t.at(0) <= QLatin1Char('9')))
            return true; // only digits, Backspace and editing keys reach the box
        const QLineEdit *box = m_form.Text3();
        if (!t.isEmpty() && t.at(0).isDigit() && !box->hasSelectedText()
            && box->text().size() >= MaxSecondsLength)
            return true; // a full box takes no more digits, as a max length would
    }
    return QObject::eventFilter(watched, event);
}
