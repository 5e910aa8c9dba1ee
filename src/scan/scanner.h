// The window side of the scan of one file: the engine lists, this fills
// List1 and the connection table in step, batch by batch, and shows the
// outcome.
#pragma once

#include "scan/scan_engine.h"

#include <QObject>
#include <QString>

class Form1;
class Platform;
struct ScanContext;

class Scanner final : public QObject
{
    Q_OBJECT
public:
    Scanner(Form1 &form, Platform &platform, ScanContext &context,
            ScanEngine::RightsLookup rights = {}, QObject *parent = nullptr);

    // Every trigger calls this with the file browser's folder and selected
    // file. A trigger that arrives while a scan runs is ignored, except
    // while that scan's notification box is open.
    void Scan(const QString &directoryPath, const QString &fileName);
    bool isScanning() const { return m_depth > 0; }

    // The file browser took the result off the window: a scan that is
    // listing stops at its next batch without showing anything.
    void withdraw() { ++m_withdrawals; }

    void onStopClicked();
    void onFindTextChanged();

signals:
    // A scan ran to its end: the file goes into the history, the watch
    // notifies. A scan started under the notification box may run meanwhile.
    void completed(const QString &fullPath, bool usersFound);
    // The Find box found the row that was already current.
    void currentRowFound();

private:
    enum class Outcome { NotParsed, NoRights, Stopped, Withdrawn, Completed };
    Outcome run(const QString &directoryPath, const QString &fileName, int generation);
    void finish(const QString &fullPath, int userCount, int generation);

    Form1 &m_form;
    Platform &m_platform;
    ScanContext &m_ctx;
    ScanEngine m_engine;
    int m_depth = 0;
    bool m_notifying = false;
    int m_generation = 0;
    int m_withdrawals = 0;
};
