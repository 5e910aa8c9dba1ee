// The scan of one file without a window: asks the client batch by batch who
// has the file open and hands each listed user to a sink. The window and the
// command line both list through it, so they cannot disagree.
#pragma once

#include "netware/nwcalls.h"
#include "scan/connection_table.h"

#include <QString>
#include <QStringList>

#include <array>
#include <functional>

// One listed user: the record the window shows, and the client's raw data
// behind its login and address texts.
struct ScannedUser
{
    QString name; // object name cut at its NUL, upper-cased
    ConnectionRecord record;
    std::array<nuint8, 7> loginTime {}; // year, month, day, hour, minute, second, weekday
    NWINET_ADDR address {}; // zeros when the query failed (AddressText is then "NA")
};

class ScanSink
{
public:
    virtual ~ScanSink() = default;
    // The path parsed; nothing has been listed yet.
    virtual void started(NWCONN_HANDLE server) = 0;
    // A user met for the first time, in the client's order.
    virtual void userListed(const ScannedUser &user) = 0;
    // Asked before every request for a batch (so once after each batch, and
    // once before the first): false stops the scan there.
    virtual bool nextBatch() = 0;
};

struct ScanResult
{
    enum class Outcome { NotParsed, NoRights, Stopped, Completed };
    Outcome outcome = Outcome::NotParsed;
    NWCONN_HANDLE server = 0; // the parse's handle; the one passed in when not parsed
    QString serverName;
    QString volumePath; // "SYS:APPS\DATA\ORDERS.DBF"
    ConnectionTable table; // one record per listed user, in order
    QStringList names; // parallel to table
};

class ScanEngine final
{
public:
    // The existing LookUpTrusteeRights: volume path, upper-cased user name,
    // server name; empty when nothing was found.
    using RightsLookup = std::function<QString(const QString &volumePath, const QString &userName,
                                               const QString &serverName)>;

    explicit ScanEngine(RightsLookup rights = {}) : m_rights(std::move(rights)) { }

    // fullPath is a DOS drive path ("F:\APPS\DATA\ORDERS.DBF"); connection is
    // the handle the parse starts from (kept when it fails).
    ScanResult run(const QString &fullPath, NWCONN_HANDLE connection, ScanSink &sink) const;

private:
    RightsLookup m_rights;
};
