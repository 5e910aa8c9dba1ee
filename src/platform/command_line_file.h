// The file a command-line text names, shared by the window and velmora-scan
// so that both open the same file for the same text.
#pragma once

#include <QString>

// The DOS form of text: a drive path is taken as it is, a native absolute
// path is translated, a bare name is resolved against the current folder.
// Empty when the text names nothing the drive namespace can show.
QString CommandLineFile(const QString &text);
