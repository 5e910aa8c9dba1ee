// How the simulated client resolves a path to a server, volume and directory.
#pragma once

#include "netware/netsim_network.h"

#include <QString>

namespace netsim {

struct ParsedPath
{
    int serverIndex = -1; // into Network::servers
    QString server;
    QString volume; // as the description spells it
    QString dirPath; // the part after "VOLUME:" or "X:\", "\" as separator
};

// Accepts "F:\APPS\ORDERS.DBF" on a mapped drive (any letter case, "F:\" is
// the root), "SERVER/VOLUME:DIR\FILE" and "VOLUME:DIR\FILE" (the first server,
// in file order, that has the volume). A local or unmapped drive, or a path
// without drive or volume, does not parse.
bool parseNetWarePath(const Network &network, const QString &path, ParsedPath *out);

} // namespace netsim
