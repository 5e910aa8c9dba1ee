// Main-window state shared by the scan and the parts that read its result.
#pragma once

#include "netware/nwcalls.h"
#include "scan/connection_table.h"

struct ScanContext
{
    ConnectionTable table;
    NWCONN_HANDLE ServerConnection = 0; // server of the scanned file; send and clear use it
    bool StopRequested = false;

    // Record k of the table, or null when line k has none.
    const ConnectionRecord *record(int k) const
    {
        return k >= 0 && k < table.size() ? &table[k] : nullptr;
    }
};
