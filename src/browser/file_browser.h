// The file browser's behaviour: drive, folder, file list, pattern and the two
// histories kept in step, and the scan started from a double-click or history.
#pragma once

#include <QObject>
#include <QStringList>
#include <functional>

class Form1;
class Platform;

class FileBrowser final : public QObject
{
    Q_OBJECT
public:
    FileBrowser(Form1 &form, Platform &platform, QObject *parent = nullptr);

    // Runs the scan; set by whoever owns the scan.
    void setScanTrigger(std::function<void()> scan) { m_scan = std::move(scan); }

    // What the scan reads and extends.
    QString directoryPath() const;    // Dir1's folder, e.g. "F:\APPS" or "F:\"
    QString selectedFileName() const; // File1's selected name, "" when none
    QString fullPath() const;         // folder + "\" (unless it ends in one) + name
    void addToFileHistory(const QString &path); // unless present, ignoring case

    // The operations start-up performs exactly as a user would.
    bool selectDrive(const QString &driveText); // by its first character
    bool setFolder(const QString &folder);
    void setPatternText(const QString &pattern);
    bool selectFileByPrefix(const QString &name); // first case-insensitive prefix match
    QString patternText() const;
    QStringList fileHistory() const;
    QStringList patternHistory() const;
    void appendFileHistory(const QString &path);
    void appendPatternHistory(const QString &pattern);

    // Withdraws the last scan's result from the window.
    void clearResults();

    // Handlers, wired by the form.
    void onDriveChanged();
    void onFolderChanged();
    void onFileClicked();
    void onFileDoubleClicked();
    void onFilePatternChanged();
    void onPatternChanged();
    void onPatternFocusLost();
    void onAllFilesClicked();
    void onHistoryChosen(int index);

private:
    Form1 &m_form;
    Platform &m_platform;
    std::function<void()> m_scan;
};
