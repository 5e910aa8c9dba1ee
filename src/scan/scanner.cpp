#include "scan/scanner.h"

#include "forms/form1.h"
#include "platform/drive_namespace.h"
#include "platform/platform.h"
#include "scan/scan_context.h"
#include "scan/scan_engine.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>

Scanner::Scanner(Form1 &form, Platform &platform, ScanContext &context,
                 ScanEngine::RightsLookup rights, QObject *parent)
    : QObject(parent),
      m_form(form),
      m_platform(platform),
      m_ctx(context),
      m_engine(std::move(rights))
{
}

void Scanner::Scan(const QString &directoryPath, const QString &fileName)
{
    // Two scans must never interleave their updates of List1 and the table.
    // The one exception is a scan started while the notification box is
    // open: the outer scan has finished listing by then.
    if (m_depth > 0 && !m_notifying)
        return;
    // Without a selected file the path would name the folder itself.
    if (fileName.isEmpty())
        return;
    const bool wasNotifying = m_notifying;
    m_notifying = false;
    ++m_depth;
    const int generation = ++m_generation;
    run(directoryPath, fileName, generation);
    --m_depth;
    m_notifying = wasNotifying;
}

namespace {
// The window side of the engine: List1 and the table grow in step, and
// events run between batches so Stop and ticks are honoured.
class WindowSink final : public ScanSink
{
public:
    WindowSink(Form1 &form, Platform &platform, ScanContext &ctx, std::function<bool()> withdrawn)
        : m_form(form), m_platform(platform), m_ctx(ctx), m_withdrawn(std::move(withdrawn))
    {
    }
    void started(NWCONN_HANDLE server) override
    {
        m_ctx.ServerConnection = server;
        m_form.listingStarted();
        m_form.setStatus(QStringLiteral("Scanning..."));
    }
    void userListed(const ScannedUser &user) override
    {
        m_ctx.table.resize(userCount + 1);
        m_ctx.table[userCount] = user.record;
        ++userCount;
        m_pending.append(user.name);
    }
    bool nextBatch() override
    {
        // Lines go in together and at a bounded rate: laying out and painting
        // the whole list at every yield made a long scan quadratic. The first
        // users show at once, later ones at least every kShowMs.
        if (m_shown == 0 || m_sinceShown.hasExpired(kShowMs))
            showPending();
        m_platform.processEvents();
        // A folder or pattern change while we yielded withdrew the result:
        // carrying on would put records and lines out of step.
        withdrawn = m_withdrawn();
        return !withdrawn && !m_ctx.StopRequested;
    }
    void showPending()
    {
        m_sinceShown.start();
        if (m_pending.isEmpty())
            return;
        m_form.List1()->addItems(m_pending);
        m_shown += int(m_pending.size());
        m_pending.clear();
    }
    int userCount = 0;
    bool withdrawn = false;

private:
    static constexpr qint64 kShowMs = 100;
    QStringList m_pending; // listed, not yet in List1
    int m_shown = 0; // lines this scan put in List1
    QElapsedTimer m_sinceShown;
    Form1 &m_form;
    Platform &m_platform;
    ScanContext &m_ctx;
    std::function<bool()> m_withdrawn;
};
} // namespace

Scanner::Outcome Scanner::run(const QString &directoryPath, const QString &name, int generation)
{
    BusyCursor busy(m_platform);
    m_form.scanningStarted();
    m_form.setStatus(QString());

    const QString fullPath = DriveNamespace::join(directoryPath, name);
    const int withdrawals = m_withdrawals;
    WindowSink sink(m_form, m_platform, m_ctx, [this, generation, withdrawals] {
        return generation != m_generation || withdrawals != m_withdrawals;
    });
    const ScanResult result = m_engine.run(fullPath, m_ctx.ServerConnection, sink);
    switch (result.outcome) {
    case ScanResult::Outcome::NotParsed:
        busy.release();
        m_form.scanningFinished();
        m_platform.errorBox(&m_form,
                            QStringLiteral("Error! Could not parse the path for file ") + name
                                + QLatin1Char('.'));
        return Outcome::NotParsed;
    case ScanResult::Outcome::NoRights:
        busy.release();
        m_form.scanningFinished();
        m_form.setStatus(QString());
        m_platform.errorBox(&m_form,
                            QStringLiteral("Error! You do not have rights to scan this file."));
        return Outcome::NoRights;
    case ScanResult::Outcome::Stopped:
        if (sink.withdrawn) {
            // A Stop pressed in the same pass is spent: the next scan runs.
            m_ctx.StopRequested = false;
            m_form.scanningFinished();
            return Outcome::Withdrawn;
        }
        sink.showPending();
        busy.release();
        m_ctx.StopRequested = false;
        m_form.setStatus(QStringLiteral("Scan terminated."));
        m_form.scanningFinished();
        return Outcome::Stopped;
    case ScanResult::Outcome::Completed:
        sink.showPending();
        break;
    }

    m_form.scanningFinished();
    m_form.setStatus(QString());
    busy.release();
    finish(fullPath, sink.userCount, generation);
    return Outcome::Completed;
}

void Scanner::finish(const QString &fullPath, int userCount, int generation)
{
    m_notifying = true;
    emit completed(fullPath, userCount > 0);
    m_notifying = false;
    // A scan that ran while our notification box was open has already set
    // the window for a newer result; ours is stale.
    if (generation != m_generation)
        return;
    m_form.showResult(userCount);
}

void Scanner::onStopClicked() { m_ctx.StopRequested = true; }

void Scanner::onFindTextChanged()
{
    QListWidget *list = m_form.List1();
    const QString text = m_form.Text1()->text();
    if (!text.isEmpty()) {
        int row = -1;
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->text().startsWith(text, Qt::CaseInsensitive)) {
                row = i;
                break;
            }
        }
        // Moving the current row shows its details, as a click does; a row
        // that already was current moves nothing, and is shown all the same.
        const bool unchanged = row >= 0 && row == list->currentRow();
        list->setCurrentRow(row, QItemSelectionModel::NoUpdate);
        if (unchanged)
            emit currentRowFound();
        if (list->currentRow() < 0) {
            m_form.setStatus(QString());
        } else {
            // The flash is no selection of the user's: quiet, so the user
            // buttons don't show for it.
            QListWidgetItem *item = list->item(row);
            {
                const QSignalBlocker quiet(list);
                item->setSelected(true);
            }
            m_platform.processEvents();
            m_platform.sleepMs(100);
            // The yield may have let a scan replace the list.
            if (row < list->count() && list->item(row) == item) {
                const QSignalBlocker quiet(list);
                item->setSelected(false);
            }
        }
    }
    m_form.setUserButtonsVisible(false);
}
