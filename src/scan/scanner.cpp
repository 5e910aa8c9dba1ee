#include "scan/scanner.h"

#include "forms/form1.h"
#include "platform/classic_timer.h"
#include "platform/drive_namespace.h"
#include "platform/platform.h"
#include "scan/scan_context.h"
#include "scan/scan_engine.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>

namespace {
const QString kTitle = QStringLiteral("Velmora");

void setResultControlsVisible(Form1 &f, bool on)
{
    for (QWidget *w :
         {static_cast<QWidget *>(f.Command4()), static_cast<QWidget *>(f.Command5()),
          static_cast<QWidget *>(f.Label7()), static_cast<QWidget *>(f.Text1()),
          static_cast<QWidget *>(f.Command6()), static_cast<QWidget *>(f.Command11()),
          static_cast<QWidget *>(f.Command14()), static_cast<QWidget *>(f.Command15())})
        w->setVisible(on);
}

void hideUserButtons(Form1 &f)
{
    f.Command12()->hide();
    f.Command13()->hide();
    f.Command16()->hide();
}
} // namespace

Scanner::Scanner(Form1 &form, Platform &platform, ScanContext &context, QObject *parent)
    : QObject(parent), m_form(form), m_platform(platform), m_ctx(context)
{
}

void Scanner::setFileSource(FileSource directoryPath, FileSource fileName,
                            std::function<void(const QString &)> addToHistory)
{
    m_directory = std::move(directoryPath);
    m_fileName = std::move(fileName);
    m_addToHistory = std::move(addToHistory);
}

void Scanner::Scan()
{
    // Two scans must never interleave their updates of List1 and the table.
    // The one exception is a scan started while the notification box is
    // open: the outer scan has finished listing by then.
    if (m_depth > 0 && !m_notifying)
        return;
    // Without a selected file the path would name the folder itself.
    if (!m_fileName || m_fileName().isEmpty())
        return;
    const bool wasNotifying = m_notifying;
    m_notifying = false;
    ++m_depth;
    const int generation = ++m_generation;
    run(generation);
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
        m_form.List1()->setToolTip(QString());
        m_form.List1()->clear();
        hideUserButtons(m_form);
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
        withdrawn = m_withdrawn() || m_form.List1()->count() != m_shown;
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

Scanner::Outcome Scanner::run(int generation)
{
    BusyCursor busy(m_platform);
    m_form.Command9()->show();
    m_form.setStatus(QString());

    const QString name = m_fileName ? m_fileName() : QString();
    const QString fullPath = DriveNamespace::join(m_directory ? m_directory() : QString(), name);
    WindowSink sink(m_form, m_platform, m_ctx,
                    [this, generation] { return generation != m_generation; });
    const ScanEngine engine(m_rights);
    const ScanResult result = engine.run(fullPath, m_ctx.ServerConnection, sink);
    switch (result.outcome) {
    case ScanResult::Outcome::NotParsed:
        busy.release();
        m_form.Command9()->hide();
        errorBox(QStringLiteral("Error! Could not parse the path for file ") + name
                 + QLatin1Char('.'));
        return Outcome::NotParsed;
    case ScanResult::Outcome::NoRights:
        busy.release();
        m_form.Command9()->hide();
        m_form.setStatus(QString());
        errorBox(QStringLiteral("Error! You do not have rights to scan this file."));
        return Outcome::NoRights;
    case ScanResult::Outcome::Stopped:
        if (sink.withdrawn) {
            m_form.Command9()->hide();
            return Outcome::Withdrawn;
        }
        sink.showPending();
        busy.release();
        m_ctx.StopRequested = false;
        m_form.setStatus(QStringLiteral("Scan terminated."));
        m_form.Command9()->hide();
        return Outcome::Stopped;
    case ScanResult::Outcome::Completed:
        sink.showPending();
        break;
    }

    m_form.Command9()->hide();
    if (m_addToHistory)
        m_addToHistory(fullPath);
    m_form.setStatus(QString());
    busy.release();
    finish(sink.userCount, generation);
    return Outcome::Completed;
}

void Scanner::errorBox(const QString &text)
{
    m_platform.beep();
    m_platform.messageBox(&m_form, text, kTitle, Platform::Icon::Exclamation,
                          Platform::Buttons::Ok);
}

void Scanner::finish(int userCount, int generation)
{
    if (m_notify) {
        m_notifying = true;
        m_notify(userCount > 0);
        m_notifying = false;
    }
    // A scan that ran while our notification box was open has already set
    // the window for a newer result; ours is stale.
    if (generation != m_generation)
        return;
    if (userCount > 0) {
        m_form.Label5()->setText(QString::number(userCount) + QStringLiteral(" user(s)"));
        setResultControlsVisible(m_form, true);
        m_form.Text1()->clear();
        m_form.List1()->setToolTip(QStringLiteral(" Click on user for more data "));
    } else {
        setResultControlsVisible(m_form, false);
        m_form.Label5()->setText(QStringLiteral("No users"));
        m_form.List1()->setToolTip(QString());
    }
    m_form.Check1()->show();
    m_form.Text3()->show();
    m_form.Timer1()->setEnabled(m_form.Check1()->isChecked());
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
        // Moving the current row shows its details, as a click does.
        list->setCurrentRow(row, QItemSelectionModel::NoUpdate);
        if (list->currentRow() < 0) {
            m_form.setStatus(QString());
        } else {
            QListWidgetItem *item = list->item(row);
            item->setSelected(true);
            m_platform.processEvents();
            m_platform.sleepMs(100);
            // The yield may have let a scan replace the list.
            if (row < list->count() && list->item(row) == item)
                item->setSelected(false);
        }
    }
    hideUserButtons(m_form);
}
