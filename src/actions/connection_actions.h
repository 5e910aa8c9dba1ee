// Acting on the users of List1: select all or none, send them a message,
// clear their connections, and empty the Find box.
#pragma once

#include "actions/connection_calls.h"
#include "platform/platform.h"

#include <QString>

class Form1;
class Platform;
struct ScanContext;

class ConnectionActions final
{
public:
    static inline const QString SendTitle = ProductName + QStringLiteral(" - Send Message");

    ConnectionActions(Form1 &form, Platform &platform, ScanContext &context,
                      ConnectionCalls calls = ConnectionCalls::client());

    void onSelectAllClicked(); // Command14 clicked
    void onSelectNoneClicked(); // Command15 clicked
    void onSendClicked(); // Command12 clicked
    void onClearClicked(); // Command13 clicked
    void onClearFindClicked(); // Command6 clicked

    // What the message prompt returned last; offered as its default next time.
    QString rememberedMessage() const { return m_message; }

private:
    struct Selection
    {
        int count = 0;
        QString subject;
    };
    Selection selection() const;

    // Runs `act` on the connection of every selected line, in order, and
    // reports each outcome and, with more than one success, the summary.
    struct Wording
    {
        QString done; // "Message sent to "
        QString failed; // "Message could not be sent to "
        QString summary; // "Message successfully sent to "
    };
    void walk(int selectedBefore, const Wording &words,
              const std::function<bool(uint16_t connNumber)> &act);

    Form1 &m_form;
    Platform &m_platform;
    ScanContext &m_ctx;
    ConnectionCalls m_calls;
    QString m_message;
};
