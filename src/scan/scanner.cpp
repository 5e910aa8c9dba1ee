#include "scan/scanner.h"

#include "forms/form1.h"
#include "platform/classic_timer.h"
#include "platform/platform.h"
#include "scan/scan_context.h"
#include "scan/scan_format.h"

#include <QCheckBox>
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

Scanner::Outcome Scanner::run(int generation)
{
    BusyCursor busy(m_platform);
    m_form.Command9()->show();
    m_form.setStatus(QString());

    const QString dir = m_directory ? m_directory() : QString();
    const QString name = m_fileName ? m_fileName() : QString();
    const QString fullPath
        = dir.endsWith(QLatin1Char('\\')) ? dir + name : dir + QLatin1Char('\\') + name;

    char server[NW_SERVER_NAME_LEN] = {};
    char volume[NW_VOLUME_NAME_LEN] = {};
    char dirPath[NW_DIR_PATH_LEN] = {};
    // Parse into a scratch handle: a path that does not parse must not
    // re-aim Send and Clear at another server with the old list's numbers.
    NWCONN_HANDLE conn = m_ctx.ServerConnection;
    const QByteArray full = fullPath.toLatin1();
    if (NWParsePath(full.constData(), server, &conn, volume, dirPath) != 0) {
        busy.release();
        m_form.Command9()->hide();
        m_platform.beep();
        m_platform.messageBox(&m_form,
                              QStringLiteral("Error! Could not parse the path for file ") + name
                                  + QLatin1Char('.'),
                              kTitle, Platform::Icon::Exclamation, Platform::Buttons::Ok);
        return Outcome::NotParsed;
    }
    m_ctx.ServerConnection = conn;
    const QString serverName = CutAtNul(server, sizeof server);
    const QString volumePath
        = CutAtNul(volume, sizeof volume) + QLatin1Char(':') + CutAtNul(dirPath, sizeof dirPath);
    const QByteArray volumePathBytes = volumePath.toLatin1();

    int userCount = 0;
    QSet<QString> listed;
    m_form.List1()->setToolTip(QString());
    m_form.List1()->clear();
    hideUserButtons(m_form);
    m_form.setStatus(QStringLiteral("Scanning..."));

    nint16 iteration = 0;
    CONN_USING_FILE single {};
    CONNS_USING_FILE batch {};
    NWINET_ADDR addr {};
    for (;;) {
        m_platform.processEvents();
        // A folder or pattern change while we yielded withdrew the result:
        // carrying on would put records and lines out of step.
        if (generation != m_generation || m_form.List1()->count() != userCount) {
            m_form.Command9()->hide();
            return Outcome::Withdrawn;
        }
        if (m_ctx.StopRequested) {
            busy.release();
            m_ctx.StopRequested = false;
            m_form.setStatus(QStringLiteral("Scan terminated."));
            m_form.Command9()->hide();
            return Outcome::Stopped;
        }
        const NWCCODE rc = NWScanConnectionsUsingFile(
            m_ctx.ServerConnection, 0, volumePathBytes.constData(), &iteration, &single, &batch);
        if (rc == NW_ERR_NO_RIGHTS) {
            busy.release();
            m_form.Command9()->hide();
            m_form.setStatus(QString());
            m_platform.beep();
            m_platform.messageBox(
                &m_form, QStringLiteral("Error! You do not have rights to scan this file."), kTitle,
                Platform::Icon::Exclamation, Platform::Buttons::Ok);
            return Outcome::NoRights;
        }
        if (rc != 0)
            break;
        const int n = qMin<int>(batch.connCount, NW_MAX_CONNS_PER_BATCH);
        for (int d = 0; d < n; ++d) {
            const CONN_USING_FILE &entry = batch.connInfo[d];
            char objName[NW_OBJECT_NAME_LEN] = {};
            nuint16 objType = 0;
            nuint32 objId = 0;
            nuint8 loginTime[NW_LOGIN_TIME_LEN] = {};
            if (NWGetConnectionInformation(m_ctx.ServerConnection, entry.connNumber, objName,
                                           &objType, &objId, loginTime)
                != 0)
                continue;
            const QString user = CutAtNul(objName, sizeof objName).toUpper();
            if (listed.contains(user))
                continue;
            ConnectionRecord rec;
            rec.ConnNumber = entry.connNumber;
            rec.TaskNumber = entry.taskNumber;
            rec.LockType = entry.lockType;
            rec.AccessControl = entry.accessControl;
            rec.LockFlag = entry.lockFlag;
            rec.LoginTimeText = FormatLoginTime(loginTime);
            // A failed query would otherwise show the previous user's address.
            addr = NWINET_ADDR {};
            rec.AddressText = NWGetInetAddr(m_ctx.ServerConnection, entry.connNumber, &addr) == 0
                ? FormatAddress(addr)
                : QStringLiteral("NA");
            rec.RightsText = m_rights ? m_rights(volumePath, user, serverName) : QString();
            if (rec.RightsText.isEmpty())
                rec.RightsText = QStringLiteral("NA");
            m_ctx.table.resize(userCount + 1);
            m_ctx.table[userCount] = std::move(rec);
            ++userCount;
            listed.insert(user);
            m_form.List1()->addItem(user);
        }
        ++iteration;
    }

    m_form.Command9()->hide();
    if (m_addToHistory)
        m_addToHistory(fullPath);
    m_form.setStatus(QString());
    busy.release();
    finish(userCount, generation);
    return Outcome::Completed;
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
