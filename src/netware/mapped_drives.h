// The drives the NetWare client has mapped on this workstation, each over a
// server's volume, and the local folder that holds that volume's files.
#pragma once

#include <QList>
#include <QString>

struct NetworkDrive
{
    char letter = 0; // upper case, 'A'..'Z'
    QString server; // "FS1"
    QString volume; // "SYS"
    QString nativeRoot; // absolute local folder of the volume's files
};

// Empty until NWCallsInit has succeeded.
QList<NetworkDrive> NWClientMappedDrives();
