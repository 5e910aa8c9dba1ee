#include "browser/file_browser.h"

#include "forms/form1.h"
#include "platform/platform.h"

FileBrowser::FileBrowser(Form1 &form, Platform &platform, QObject *parent)
    : QObject(parent), m_form(form), m_platform(platform)
{
}

QString FileBrowser::directoryPath() const { return {}; }
QString FileBrowser::selectedFileName() const { return {}; }
QString FileBrowser::fullPath() const { return {}; }
void FileBrowser::addToFileHistory(const QString &) {}
bool FileBrowser::selectDrive(const QString &) { return false; }
bool FileBrowser::setFolder(const QString &) { return false; }
void FileBrowser::setPatternText(const QString &) {}
bool FileBrowser::selectFileByPrefix(const QString &) { return false; }
QString FileBrowser::patternText() const { return {}; }
QStringList FileBrowser::fileHistory() const { return {}; }
QStringList FileBrowser::patternHistory() const { return {}; }
void FileBrowser::appendFileHistory(const QString &) {}
void FileBrowser::appendPatternHistory(const QString &) {}
void FileBrowser::clearResults() {}
void FileBrowser::onDriveChanged() {}
void FileBrowser::onFolderChanged() {}
void FileBrowser::onFileClicked() {}
void FileBrowser::onFileDoubleClicked() {}
void FileBrowser::onFilePatternChanged() {}
void FileBrowser::onPatternChanged() {}
void FileBrowser::onPatternFocusLost() {}
void FileBrowser::onAllFilesClicked() {}
void FileBrowser::onHistoryChosen(int) {}
