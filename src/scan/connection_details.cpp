#include "scan/connection_details.h"

#include "forms/form1.h"
#include "scan/detail_text.h"
#include "scan/scan_context.h"

#include <QListWidget>

ConnectionDetails::ConnectionDetails(Form1 &form, ScanContext &scan, Platform &)
    : m_form(form), m_scan(scan)
{
}

void ConnectionDetails::onList1Click()
{
    QListWidget *list = m_form.List1();
    const int row = list->currentRow();
    // A row without a record shows nothing; the buttons still follow the selection.
    if (const ConnectionRecord *record = m_scan.record(row); record && row < list->count())
        m_form.setStatus(ConnectionDetailText(list->item(row)->text(), *record, true));

    m_form.setUserButtonsVisible(!list->selectedItems().isEmpty());
}

void ConnectionDetails::onLockedClick()
{
    QListWidget *list = m_form.List1();
    for (int k = 0; k < list->count(); ++k) {
        const ConnectionRecord *record = m_scan.record(k);
        if (record && record->LockFlag != 0) {
            // In a multi-selection list a click toggles the line; finding the
            // lock holder points at it without changing what is selected.
            list->setCurrentRow(k, QItemSelectionModel::NoUpdate);
            onList1Click();
            return;
        }
    }
    m_form.setStatus(QStringLiteral("No user has the file locked."));
}
