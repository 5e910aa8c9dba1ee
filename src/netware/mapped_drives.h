// What the NetWare client tells beyond its calls: the drives it has mapped on
// this workstation (each over a server's volume, with the local folder that
// holds that volume's files) and why it did not start.
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

// One line naming the file and the problem when NWCallsInit last failed;
// empty after a successful start.
QString NWClientInitError();
