#include "browser/file_browser.h"

#include "browser/dir_list_box.h"
#include "browser/drive_list_box.h"
#include "browser/file_exists.h"
#include "browser/file_list_box.h"
#include "browser/file_pattern.h"
#include "forms/form1.h"
#include "platform/classic_timer.h"
#include "platform/drive_namespace.h"
#include "platform/platform.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>

namespace {
const QString AllFiles = QStringLiteral("*.*");
const QString ScanToolTip = QStringLiteral(" Double-click on file to scan ");
} // namespace

QString fileCountText(int n)
{
    if (n <= 0)
        return {};
    if (n == 1)
        return QStringLiteral("1 file.");
    return QString::number(n) + QStringLiteral(" files.");
}

QString fileFactsText(const QDateTime &modified, qint64 size)
{
    QLocale locale;
    // The C locale leaves out group separators unless told otherwise.
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(modified, QLocale::ShortFormat) + QStringLiteral("  ")
        + locale.toString(size);
}

FileBrowser::FileBrowser(Form1 &form, Platform &platform, QObject *parent)
    : QObject(parent), m_form(form), m_platform(platform)
{
    m_form.Combo2()->setEditText(AllFiles);
    // Inline completion would turn a typed "*" into a history entry.
    m_form.Combo2()->setCompleter(nullptr);

    connect(m_form.Drive1(), &DriveListBox::driveChanged, this, &FileBrowser::onDriveChanged);
    connect(m_form.Dir1(), &DirListBox::pathChanged, this, &FileBrowser::onFolderChanged);
    connect(m_form.File1(), &FileListBox::fileClicked, this, &FileBrowser::onFileClicked);
    connect(m_form.File1(), &FileListBox::fileDoubleClicked, this,
            &FileBrowser::onFileDoubleClicked);
    connect(m_form.File1(), &FileListBox::patternChanged, this, &FileBrowser::onFilePatternChanged);
    connect(m_form.Combo2(), &QComboBox::editTextChanged, this, &FileBrowser::onPatternChanged);
    connect(m_form.Combo1(), &QComboBox::activated, this, &FileBrowser::onHistoryChosen);
    connect(m_form.Command3(), &QPushButton::clicked, this, &FileBrowser::onAllFilesClicked);
    m_form.Combo2()->installEventFilter(this);
    if (QLineEdit *edit = m_form.Combo2()->lineEdit())
        edit->installEventFilter(this);

    QString start = DriveNamespace::toDos(QDir::currentPath());
    if (start.isEmpty())
        start = QStringLiteral("C:\\");
    selectDrive(start);
    if (!setFolder(start))
        setFolder(QStringLiteral("C:\\"));
}

QString FileBrowser::directoryPath() const { return m_form.Dir1()->path(); }

QString FileBrowser::selectedFileName() const { return m_form.File1()->fileName(); }

QString FileBrowser::fullPath() const
{
    return DriveNamespace::join(directoryPath(), selectedFileName());
}

void FileBrowser::addToFileHistory(const QString &path)
{
    for (const QString &entry : fileHistory())
        if (entry.compare(path, Qt::CaseInsensitive) == 0)
            return;
    appendFileHistory(path);
}

bool FileBrowser::selectDrive(const QString &driveText)
{
    if (driveText.isEmpty() || !m_form.Drive1()->setDrive(driveText))
        return false;
    // An unavailable drive falls back to c: on the way.
    return m_form.Drive1()->drive().at(0).toLower() == driveText.at(0).toLower();
}

bool FileBrowser::setFolder(const QString &folder)
{
    QString path = folder;
    if (path.startsWith(QLatin1Char('\\')) || path.startsWith(QLatin1Char('/')))
        path = m_form.Drive1()->drive().left(2) + path;
    else if (path.size() < 2 || path.at(1) != QLatin1Char(':'))
        path = DriveNamespace::join(directoryPath(), path);
    return m_form.Dir1()->setPath(path);
}

void FileBrowser::setPatternText(const QString &pattern) { m_form.Combo2()->setEditText(pattern); }

bool FileBrowser::selectFileByPrefix(const QString &name)
{
    FileListBox *list = m_form.File1();
    // An exact name first: on Linux a folder may hold names that differ only in case.
    int index = -1;
    for (int i = 0; i < list->count() && index < 0; ++i)
        if (list->item(i)->text() == name)
            index = i;
    if (index < 0)
        index = list->findString(name);
    list->setListIndex(index);
    return index >= 0;
}

QString FileBrowser::patternText() const { return m_form.Combo2()->currentText(); }

namespace {
QStringList items(const QComboBox *box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}
} // namespace

QStringList FileBrowser::fileHistory() const { return items(m_form.Combo1()); }

QStringList FileBrowser::patternHistory() const { return items(m_form.Combo2()); }

void FileBrowser::appendFileHistory(const QString &path)
{
    QComboBox *box = m_form.Combo1();
    const QSignalBlocker block(box);
    const int index = box->currentIndex();
    box->addItem(path);
    box->setCurrentIndex(index); // a first entry would otherwise show as chosen
}

void FileBrowser::appendPatternHistory(const QString &pattern)
{
    QComboBox *box = m_form.Combo2();
    const QSignalBlocker block(box);
    const QString text = box->currentText();
    box->addItem(pattern);
    if (box->currentText() != text)
        box->setEditText(text); // a first entry would otherwise replace the typed text
}

bool FileBrowser::openFile(const QString &path)
{
    const QString dosPath = DriveNamespace::normalize(path);
    if (dosPath.isEmpty())
        return false;
    selectDrive(dosPath);
    const int k = dosPath.lastIndexOf(QLatin1Char('\\'));
    const QString folder = dosPath.left(k + 1);
    const QString name = dosPath.mid(k + 1);
    setPatternText(AllFiles);
    if (!setFolder(folder))
        return false;
    // The folder may be unchanged and so not re-read since the file appeared.
    m_form.File1()->refresh();
    showCount(true);
    return !name.isEmpty() && selectFileByPrefix(name);
}

bool FileBrowser::openAndScan(const QString &path)
{
    if (!openFile(path)) {
        // The browser has followed the path, but the file list does not show
        // the file (a hidden file, say): without a selection nothing can scan.
        const QString name
            = path.mid(path.lastIndexOf(QRegularExpression(QStringLiteral("[\\\\/]"))) + 1);
        m_platform.beep();
        m_form.setStatus(
            QStringLiteral("File '") + name
            + QStringLiteral("' is not shown in the file list and cannot be scanned."));
        return false;
    }
    m_form.showScanButton();
    emit scanRequested();

    return true;
}

bool FileBrowser::restore(const QString &folder, const QString &pattern)
{
    // A stored pattern the file list would refuse falls back quietly (the
    // user typed nothing, so no beep and no invalid-pattern text), and alone:
    // the stored folder is still good.
    const bool patternOk = FilePattern::isValid(pattern);
    const bool folderSet = selectDrive(folder) && setFolder(folder);
    if (!folderSet) {
        selectDrive(QStringLiteral("c:"));
        setFolder(QStringLiteral("\\"));
    }
    setPatternText(patternOk && folderSet ? pattern : AllFiles);
    return patternOk && folderSet;
}

void FileBrowser::refreshDrives() { m_form.Drive1()->refresh(); }

void FileBrowser::clearResults()
{
    m_form.withdrawResult();
    emit resultWithdrawn();
}

void FileBrowser::showCount(bool withToolTip)
{
    const int n = m_form.File1()->count();
    m_form.Label2()->setText(fileCountText(n));
    if (withToolTip)
        m_form.File1()->setToolTip(n > 0 ? ScanToolTip : QString());
}

void FileBrowser::onDriveChanged()
{
    const QString root = m_form.Drive1()->drive().left(2) + QLatin1Char('\\');
    if (!m_form.Dir1()->setPath(root))
        m_form.Drive1()->setDrive(QStringLiteral("c:")); // runs this again for c:
}

void FileBrowser::onFolderChanged()
{
    m_form.File1()->setPath(directoryPath());
    m_form.File1()->setPattern(patternText()); // a refused text keeps the last pattern
    m_form.Label1()->clear();
    showCount(true);
    clearResults();
}

void FileBrowser::onFileClicked()
{
    if (selectedFileName().isEmpty())
        return;
    const auto facts = DriveNamespace::fileFacts(fullPath());
    if (!facts) {
        m_platform.errorBox(&m_form, QStringLiteral("Error! Can't access file."));
        return;
    }
    m_form.Label1()->setText(fileFactsText(facts->modified, facts->size));
    m_form.showScanButton();
}

void FileBrowser::onFileDoubleClicked()
{
    if (!selectedFileName().isEmpty())
        emit scanRequested();
}

void FileBrowser::onFilePatternChanged() { showCount(false); }

void FileBrowser::onPatternChanged()
{
    const QString old = m_form.File1()->pattern();
    const bool accepted = m_form.File1()->setPattern(patternText());
    clearResults();
    if (!accepted) {
        m_form.File1()->setPattern(old);
        m_platform.beep();
        m_form.setStatus(
            QStringLiteral("Invalid file pattern. Try *.*, *.exe, *.xls, *.doc, *.mdb or *.dwg."));
    }
}

void FileBrowser::onPatternFocusLost()
{
    const QString text = patternText();
    // A refused pattern is not worth remembering.
    if (text.isEmpty() || !FilePattern::isValid(text))
        return;
    const QString lower = text.toLower();
    for (const QString &entry : patternHistory())
        if (entry.toLower() == lower)
            return;
    appendPatternHistory(text);
}

void FileBrowser::onAllFilesClicked()
{
    if (patternText() != AllFiles)
        setPatternText(AllFiles);
}

void FileBrowser::onHistoryChosen(int index)
{
    const QString path = m_form.Combo1()->itemText(index);
    if (path.isEmpty())
        return;
    if (!FileExists(path)) {
        m_platform.beep();
        m_form.setStatus(QStringLiteral("File does not exist."));
        return;
    }
    openAndScan(path);
}

bool FileBrowser::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        QWidget *now = QApplication::focusWidget();
        // Opening the drop-down or switching programs does not leave the box.
        // The drop-down is a window of its own, and its list takes the focus
        // right after the popup's own focus change.
        const QWidget *dropDown = m_form.Combo2()->view()->window();
        const bool stays = reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason
            || (now
                && (now == m_form.Combo2() || m_form.Combo2()->isAncestorOf(now)
                    || now->window() == dropDown));
        if (!stays)
            onPatternFocusLost();
    }
    return QObject::eventFilter(watched, event);
}
