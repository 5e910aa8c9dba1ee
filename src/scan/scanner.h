// The scan of one file: asks the client who has it open and fills List1 and
// the connection table in step, batch by batch.
#pragma once

#include "scan/scan_engine.h"

#include <QObject>
#include <QString>
#include <functional>

class FileBrowser;
class Form1;
class Platform;
struct ScanContext;

class Scanner final : public QObject
{
    Q_OBJECT
public:
    using RightsLookup = ScanEngine::RightsLookup;
    using Notifier = std::function<void(bool usersFound)>;
    using FileSource = std::function<QString()>;

    Scanner(Form1 &form, Platform &platform, ScanContext &context, QObject *parent = nullptr);

    // Where the file to scan comes from and where scanned files are recorded.
    void setFileSource(FileSource directoryPath, FileSource fileName,
                       std::function<void(const QString &)> addToHistory);
    void setRightsLookup(RightsLookup lookup) { m_rights = std::move(lookup); }
    void setNotifier(Notifier notify) { m_notify = std::move(notify); }

    // Every trigger calls this. A trigger that arrives while a scan runs is
    // ignored, except while that scan's notification box is open.
    void Scan();
    bool isScanning() const { return m_depth > 0; }

    void onStopClicked();
    void onFindTextChanged();

private:
    enum class Outcome { NotParsed, NoRights, Stopped, Withdrawn, Completed };
    Outcome run(int generation);
    void finish(int userCount, int generation);
    void errorBox(const QString &text);

    Form1 &m_form;
    Platform &m_platform;
    ScanContext &m_ctx;
    FileSource m_directory;
    FileSource m_fileName;
    std::function<void(const QString &)> m_addToHistory;
    RightsLookup m_rights;
    Notifier m_notify;
    int m_depth = 0;
    bool m_notifying = false;
    int m_generation = 0;
};
