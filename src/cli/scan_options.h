// velmora-scan's command line: what it asks for, or why it cannot be run.
#pragma once

#include <QString>
#include <QStringList>

struct ScanOptions
{
    enum class Format { Report, Csv, Json, Text };
    Format format = Format::Report;
    int watchSeconds = 0; // 0: scan once
    int count = 0; // scans to run in watch mode; 0: until a signal
    QString file; // as given; resolved like Velmora's command line
    bool help = false;
    bool version = false;
};

struct ParsedScanArguments
{
    ScanOptions options;
    QString problem; // not empty: a usage error, said in a few words
};

// The arguments after the program name.
ParsedScanArguments ParseScanArguments(const QStringList &arguments);

// One line, no line end.
QString ScanUsageLine();
// What --help prints, ending with a line end.
QString ScanHelpText();
// What --version prints, without a line end.
QString ScanVersionText();
