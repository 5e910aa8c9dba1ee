#include "actions/connection_actions.h"

#include "forms/form1.h"
#include "platform/platform.h"
#include "scan/scan_context.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace {
const QString RightsHint = QStringLiteral(". You may not have the necessary rights to do this.");
}

ConnectionActions::ConnectionActions(Form1 &form, Platform &platform, ScanContext &context,
                                     ConnectionCalls calls)
    : m_form(form), m_platform(platform), m_ctx(context), m_calls(std::move(calls))
{
}

ConnectionActions::Selection ConnectionActions::selection() const
{
    const QListWidget *list = m_form.List1();
    Selection s;
    const QListWidgetItem *first = nullptr;
    for (int k = 0; k < list->count(); ++k) {
        const QListWidgetItem *item = list->item(k);
        if (item && item->isSelected()) {
            ++s.count;
            if (!first)
                first = item;
        }
    }
    if (s.count > 1)
        s.subject = QString::number(s.count) + QStringLiteral(" users");
    else if (first)
        s.subject = QStringLiteral("user ") + first->text();
    return s;
}

void ConnectionActions::walk(int selectedBefore, const Wording &words,
                             const std::function<bool(uint16_t connNumber)> &act)
{
    const QListWidget *list = m_form.List1();
    int success = 0;
    // The selection as it stands now, after the dialog, is the one acted on.
    for (int k = 0; k < list->count(); ++k) {
        const QListWidgetItem *item = list->item(k);
        if (!item || !item->isSelected())
            continue;
        // A line without a record has no connection of its own; it is passed
        // over rather than acting on some other user's connection.
        if (const ConnectionRecord *record = m_ctx.record(k)) {
            const QString subject = QStringLiteral("user ") + item->text();
            if (act(record->ConnNumber)) {
                ++success;
                m_form.setStatus(words.done + subject + QStringLiteral("."));
            } else {
                m_form.setStatus(words.failed + subject + RightsHint);
            }
        }
        if (selectedBefore == 1)
            break;
    }
    if (success > 1)
        m_form.setStatus(words.summary + QString::number(success) + QStringLiteral(" users."));
}

void ConnectionActions::onSendClicked()
{
    const Selection s = selection();
    const QString prompt = QStringLiteral("Enter Message to send to ") + s.subject;
    m_message = m_platform.inputBox(&m_form, prompt, SendTitle, m_message);
    if (m_message.isEmpty())
        return;
    const QString message = m_message;
    // Said here, not left to the failed call's line that blames the rights.
    if (const QString problem = MessageProblem(message); s.count > 0 && !problem.isEmpty()) {
        m_form.setStatus(QStringLiteral("Message could not be sent to ") + s.subject + problem);
        return;
    }
    walk(s.count,
         {QStringLiteral("Message sent to "), QStringLiteral("Message could not be sent to "),
          QStringLiteral("Message successfully sent to ")},
         [&](uint16_t c) {
             return m_calls.send && m_calls.send(c, message, m_ctx.ServerConnection);
         });
}

void ConnectionActions::onClearClicked()
{
    const Selection s = selection();
    const Platform::Answer answer = m_platform.messageBox(
        &m_form,
        QStringLiteral("Are you sure you want to clear the connection for ") + s.subject
            + QStringLiteral("?"),
        QStringLiteral("Velmora"), Platform::Icon::Question, Platform::Buttons::YesNo);
    if (answer != Platform::Answer::Yes)
        return;
    walk(s.count,
         {QStringLiteral("Connection cleared for "),
          QStringLiteral("Connection could not be cleared for "),
          QStringLiteral("Connection successfully cleared for ")},
         [&](uint16_t c) { return m_calls.clear && m_calls.clear(m_ctx.ServerConnection, c); });
}

void ConnectionActions::onSelectAllClicked()
{
    QListWidget *list = m_form.List1();
    {
        // One state change for the whole list, not a click per line.
        const QSignalBlocker quiet(list);
        for (int k = 0; k < list->count(); ++k)
            if (QListWidgetItem *item = list->item(k); item && !item->isSelected())
                item->setSelected(true);
    }
    m_form.setStatus(QString::number(list->count()) + QStringLiteral(" users selected."));
    setResultButtonsVisible(true);
}

void ConnectionActions::onSelectNoneClicked()
{
    QListWidget *list = m_form.List1();
    {
        const QSignalBlocker quiet(list);
        for (int k = 0; k < list->count(); ++k)
            if (QListWidgetItem *item = list->item(k); item && item->isSelected())
                item->setSelected(false);
    }
    m_form.setStatus(QString::number(list->count()) + QStringLiteral(" users de-selected."));
    setResultButtonsVisible(false);
}

void ConnectionActions::setResultButtonsVisible(bool visible)
{
    m_form.Command12()->setVisible(visible);
    m_form.Command13()->setVisible(visible);
    m_form.Command16()->setVisible(visible);
}

void ConnectionActions::onClearFindClicked()
{
    // An edit like any other: the Find box's own change handling runs.
    m_form.Text1()->setText(QString());
    m_form.Text1()->setFocus();
}
