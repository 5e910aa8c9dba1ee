// The file browser's behaviour: drive, folder, file list, pattern and the two
// histories kept in step, and the scan started from a double-click or history.
#pragma once

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <functional>

class Form1;
class Platform;

// Label2's text for n listed files: "", "1 file.", "n files.".
QString fileCountText(int n);
// Label1's text: the date and time, two spaces, the size grouped in threes.
QString fileFactsText(const QDateTime &modified, qint64 size);

class FileBrowser final : public QObject
{
    Q_OBJECT
public:
    // Connects the browser controls' own signals to the handlers below, so
    // a change made by code chains exactly as a user's change does; then
    // shows the process's current folder with the pattern "*.*".
    FileBrowser(Form1 &form, Platform &platform, QObject *parent = nullptr);

    // Runs the scan; set by whoever owns the scan.
    void setScanTrigger(std::function<void()> scan) { m_scan = std::move(scan); }

    // What the scan reads and extends.
    QString directoryPath() const; // Dir1's folder, e.g. "F:\APPS" or "F:\"
    QString selectedFileName() const; // File1's selected name, "" when none
    QString fullPath() const; // folder + "\" (unless it ends in one) + name
    void addToFileHistory(const QString &path); // unless present, ignoring case

    // The operations start-up performs exactly as a user would.
    bool selectDrive(const QString &driveText); // by its first character
    // A full DOS folder, or one beginning with "\" on the current drive.
    bool setFolder(const QString &folder);
    void setPatternText(const QString &pattern);
    // Selects (and so clicks) the entry named exactly so, else the first
    // case-insensitive prefix match; false when no entry matches.
    bool selectFileByPrefix(const QString &name);
    QString patternText() const;
    QStringList fileHistory() const;
    QStringList patternHistory() const;
    void appendFileHistory(const QString &path);
    void appendPatternHistory(const QString &pattern);

    // Drive, "*.*", folder and file of a full DOS path, each as a user would
    // set it; true when the file ended up selected. Does not scan.
    bool openFile(const QString &path);
    // openFile, then, when the file is selected, shows Command1 and scans:
    // what a file-history choice and a file named on the command line do.
    // A file the list does not show gets a beep and a line in Text2.
    bool openAndScan(const QString &path);
    // Start-up's restore of the stored folder and pattern: drive by the
    // folder's first character, the folder, the pattern; when the drive or
    // folder is unusable (as the default "\" is), silently c:, "\" and "*.*";
    // a refused pattern alone falls back to "*.*". False when anything fell back.
    bool restore(const QString &folder, const QString &pattern);
    // Re-reads the drive list, e.g. after the mapped drives were set.
    void refreshDrives();

    // Withdraws the last scan's result from the window.
    void clearResults();

    // Handlers; the constructor connects them to the controls' events.
    void onDriveChanged(); // Drive1 driveChanged
    void onFolderChanged(); // Dir1 pathChanged
    void onFileClicked(); // File1 fileClicked
    void onFileDoubleClicked(); // File1 fileDoubleClicked
    void onFilePatternChanged(); // File1 patternChanged
    void onPatternChanged(); // Combo2 editTextChanged (typing or a list choice)
    void onPatternFocusLost(); // Combo2 focus out
    void onAllFilesClicked(); // Command3 clicked
    void onHistoryChosen(int index); // Combo1 activated

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showCount(bool withToolTip);

    Form1 &m_form;
    Platform &m_platform;
    std::function<void()> m_scan;
};
