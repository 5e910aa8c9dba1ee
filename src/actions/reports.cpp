#include "actions/reports.h"

#include "actions/users_report.h"
#include "forms/form1.h"
#include "platform/platform.h"
#include "scan/detail_text.h"
#include "scan/scan_context.h"

#include <QListWidget>

Reports::Reports(Form1 &form, ScanContext &scan, Platform &platform,
                 std::function<QString()> currentFullPath)
    : m_form(form),
      m_scan(scan),
      m_platform(platform),
      m_currentFullPath(std::move(currentFullPath))
{
}

QStringList Reports::rows() const
{
    QStringList out;
    const QListWidget *list = m_form.List1();
    for (int k = 0; k < list->count(); ++k)
        out << list->item(k)->text();
    return out;
}

void Reports::reportCopied(const QString &text, bool copied)
{
    m_form.setStatus(copied ? QString::number(text.size())
                             + QStringLiteral(" bytes copied to the clipboard.")
                            : QStringLiteral("Could not copy to the clipboard."));
}

void Reports::onUserClicked()
{
    const QListWidget *list = m_form.List1();
    const int row = list->currentRow();
    const ConnectionRecord *record = m_scan.record(row);
    // Select-all leaves no current row; copying nothing must not claim a copy.
    if (!record || row >= list->count()) {
        m_form.setStatus(QStringLiteral("No user is current: click on a user first."));
        return;
    }
    const QString details = ConnectionDetailText(list->item(row)->text(), *record, false);
    reportCopied(details, m_platform.setClipboardText(details));
}

void Reports::onCopyClicked()
{
    BusyCursor busy(m_platform);
    const QString text = UsersReportText(m_currentFullPath ? m_currentFullPath() : QString(),
                                         m_platform.now(), rows());
    const bool copied = m_platform.setClipboardText(text);
    busy.release();
    reportCopied(text, copied);
}

bool Reports::print(const QStringList &lines)
{
    // One copy in portrait is how QtPrinter sets up every document, and lines
    // are placed by the font's line spacing, so no other numeric setting applies.
    Printer &printer = m_platform.printer();
    if (!printer.begin())
        return false;
    bool ok = printer.setFontName(QStringLiteral("Courier New")) && printer.setBold(true);
    for (int i = 0; ok && i < lines.size(); ++i) {
        if (i == 2)
            ok = printer.setBold(false);
        ok = ok && printer.printLine(lines.at(i));
    }
    // The document is closed even after a failed step, so the printer is released.
    return printer.endDocument() && ok;
}

void Reports::onPrintClicked()
{
    BusyCursor busy(m_platform);
    const QStringList lines = UsersReportLines(m_currentFullPath ? m_currentFullPath() : QString(),
                                               m_platform.now(), rows());
    const bool printed = print(lines);
    busy.release();
    if (printed) {
        m_form.setStatus(QStringLiteral("Report printed."));
        return;
    }
    m_platform.errorBox(&m_form, QStringLiteral("Error! Could not print the report."));
}
