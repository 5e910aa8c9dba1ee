#include "about/about_box.h"

#include "forms/form1.h"
#include "platform/platform.h"

QString AboutVersionLine(int major, int minor)
{
    return ProductName + QLatin1Char(' ') + QString::number(major) + QLatin1Char('.')
        + QString::number(minor);
}

QString AboutBodyText(int major, int minor)
{
    const QString crlf = QStringLiteral("\r\n");
    QString body = AboutVersionLine(major, minor);
    body += crlf + crlf;
    // The rights-holder line; the maker's own name is not known.
    body += QStringLiteral("Copyright (C) Velmora developers");
    body += crlf + crlf;
    body += QStringLiteral("If you are using Netware Client32 ") + ProductName
        + QStringLiteral(" will allow you to see those who");
    body += crlf
        + QStringLiteral("are using a specific file. In addition, you will see their rights to the "
                         "file, how");
    body += crlf + QStringLiteral("the file was opened, and at what time the user logged in at.");
    body += crlf + crlf
        + QStringLiteral(
                "For ordering info, questions, enhancement ideas, etc., please e-mail me at:");
    body += crlf + crlf + QString::fromUtf16(kAboutContactEmail);
    return body;
}

AboutBox::AboutBox(Form1 &form, Platform &platform) : m_form(form), m_platform(platform) { }

void AboutBox::onAboutClicked()
{
    const DialogScope open(m_platform); // both boxes, as one
    m_platform.messageBox(&m_form, AboutBodyText(VELMORA_VERSION_MAJOR, VELMORA_VERSION_MINOR),
                          ProductName + QStringLiteral(" - About Box"), Platform::Icon::None,
                          Platform::Buttons::Ok);
    const Platform::Answer answer = m_platform.messageBox(
        &m_form,
        QStringLiteral(
            "Do you want to go to my web site now so you can download the latest updates to ")
            + ProductName + QLatin1Char('?'),
        ProductName, Platform::Icon::Question, Platform::Buttons::YesNo);
    // A browser that fails to start is not reported: the offer was a courtesy.
    if (answer == Platform::Answer::Yes)
        m_platform.openUrl(QString::fromUtf16(kAboutWebPage));
}
