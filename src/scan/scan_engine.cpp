#include "scan/scan_engine.h"

#include "netware/client_text.h"
#include "scan/scan_format.h"

#include <QSet>

#include <algorithm>

ScanResult ScanEngine::run(const QString &fullPath, NWCONN_HANDLE connection, ScanSink &sink) const
{
    ScanResult result;
    result.server = connection;
    char server[NW_SERVER_NAME_LEN] = {};
    char volume[NW_VOLUME_NAME_LEN] = {};
    char dirPath[NW_DIR_PATH_LEN] = {};
    // Parse into a scratch handle: a path that does not parse must not
    // re-aim Send and Clear at another server with the old list's numbers.
    NWCONN_HANDLE conn = connection;
    const std::optional<QByteArray> full = ClientText::encodeZ(fullPath);
    if (!full || NWParsePath(full->constData(), server, &conn, volume, dirPath) != 0)
        return result;
    result.server = conn;
    result.serverName = CutAtNul(server, sizeof server);
    result.volumePath
        = CutAtNul(volume, sizeof volume) + QLatin1Char(':') + CutAtNul(dirPath, sizeof dirPath);
    const QByteArray volumePathBytes
        = ClientText::encodeZ(result.volumePath).value_or(QByteArray());
    sink.started(conn);

    QSet<QString> listed;
    nint16 iteration = 0;
    CONN_USING_FILE single {};
    CONNS_USING_FILE batch {};
    for (;;) {
        if (!sink.nextBatch()) {
            result.outcome = ScanResult::Outcome::Stopped;
            return result;
        }
        const NWCCODE rc = NWScanConnectionsUsingFile(conn, 0, volumePathBytes.constData(),
                                                      &iteration, &single, &batch);
        if (rc == NW_ERR_NO_RIGHTS) {
            result.outcome = ScanResult::Outcome::NoRights;
            return result;
        }
        if (rc != 0)
            break;
        if (iteration == 0) {
            // Every batch counts all uses of the file: growing to it a step
            // at a time rehashed every listed name several times over.
            listed.reserve(batch.useCount);
            result.table.reserve(batch.useCount);
            result.names.reserve(batch.useCount);
        }
        const int n = qMin<int>(batch.connCount, NW_MAX_CONNS_PER_BATCH);
        for (int d = 0; d < n; ++d) {
            const CONN_USING_FILE &entry = batch.connInfo[d];
            char objName[NW_OBJECT_NAME_LEN] = {};
            nuint16 objType = 0;
            nuint32 objId = 0;
            nuint8 loginTime[NW_LOGIN_TIME_LEN] = {};
            if (NWGetConnectionInformation(conn, entry.connNumber, objName, &objType, &objId,
                                           loginTime)
                != 0)
                continue;
            ScannedUser user;
            user.name = ClientText::upper(CutAtNul(objName, sizeof objName));
            if (listed.contains(user.name))
                continue;
            ConnectionRecord &rec = user.record;
            rec.ConnNumber = entry.connNumber;
            rec.TaskNumber = entry.taskNumber;
            rec.LockType = entry.lockType;
            rec.AccessControl = entry.accessControl;
            rec.LockFlag = entry.lockFlag;
            std::copy_n(loginTime, user.loginTime.size(), user.loginTime.begin());
            rec.LoginTimeText = FormatLoginTime(loginTime);
            // A fresh record per entry: a failed query must not show the
            // previous user's address.
            if (NWGetInetAddr(conn, entry.connNumber, &user.address) == 0) {
                rec.AddressText = FormatAddress(user.address);
            } else {
                user.address = NWINET_ADDR {};
                rec.AddressText = QStringLiteral("NA");
            }
            rec.RightsText
                = m_rights ? m_rights(result.volumePath, user.name, result.serverName) : QString();
            if (rec.RightsText.isEmpty())
                rec.RightsText = QStringLiteral("NA");
            listed.insert(user.name);
            sink.userListed(user);
            result.table.append(rec);
            result.names.append(user.name);
        }
        ++iteration;
    }
    result.outcome = ScanResult::Outcome::Completed;
    return result;
}
