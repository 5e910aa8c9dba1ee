// A user's trustee rights on a file's volume, looked up through the NetWare
// client.
#pragma once

#include <QString>

// The rights words (TrusteeRightsText) of the last trustee entry for the user
// among the user's trustee paths on the volume of volumePath ("SYS:APPS\X.DAT").
// Empty when nothing was found or the user name is unknown.
// serverName, when given, picks the server that holds the volume, so that a
// volume name used on two servers resolves on the scanned file's server.
QString LookUpTrusteeRights(const QString &volumePath, const QString &userName,
                            const QString &serverName = QString());
