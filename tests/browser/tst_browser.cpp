// The browser's handlers and their chaining, on a temporary folder mapped as F:.
#include "browser/dir_list_box.h"
#include "browser/drive_list_box.h"
#include "browser/file_browser.h"
#include "browser/file_list_box.h"
#include "forms/form1.h"
#include "platform/classic_timer.h"
#include "platform/drive_namespace.h"
#include "support/fake_platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <memory>

class TestBrowser : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void listsAndCount_data();
    void listsAndCount();
    void folderList();
    void typingPattern();
    void focusLossHistory_data();
    void focusLossHistory();
    void focusLeavesBox();
    void allFiles_data();
    void allFiles();
    void historyFileGone();
    void historyFileOpensAndScans();
    void rootFolderPath();
    void unreadableFileClicked();
    void unavailableDriveFallsBack();
    void restore_data();
    void restore();
    void doubleClickScans();
    void findString_data();
    void findString();
    void texts();

private:
    QString native(const QString &rel) const { return m_vol.filePath(rel); }
    void write(const QString &rel, const QByteArray &data = {})
    {
        QFile f(native(rel));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    QStringList listed() const
    {
        QStringList out;
        for (int i = 0; i < m_form->File1()->count(); ++i)
            out << m_form->File1()->item(i)->text();
        return out;
    }
    // What a scan leaves on the window, for checking that it is withdrawn.
    void showResults()
    {
        m_form->List1()->addItem(QStringLiteral("JSMITH"));
        m_form->Command1()->show();
        m_form->Command12()->show();
        m_form->Label5()->setText(QStringLiteral("1 user(s)"));
        m_form->setStatus(QStringLiteral("done"));
    }
    bool resultsShown() const
    {
        return m_form->List1()->count() == 1 && m_form->Command12()->isVisibleTo(m_form.get())
               && !m_form->Label5()->text().isEmpty() && !m_form->status().isEmpty();
    }

    QTemporaryDir m_vol;
    FakePlatform m_platform;
    std::unique_ptr<Form1> m_form;
    std::unique_ptr<FileBrowser> m_browser;
    int m_scans = 0;
    QString m_scannedPath;
};

void TestBrowser::initTestCase()
{
    QVERIFY(m_vol.isValid());
    QDir root(m_vol.path());
    QVERIFY(root.mkpath(QStringLiteral("APPS/one")));
    QVERIFY(root.mkpath(QStringLiteral("EMPTY")));
    write(QStringLiteral("APPS/ORDERS.DBF"), QByteArray(1500, 'x'));
    write(QStringLiteral("APPS/b.txt"));
    write(QStringLiteral("APPS/A.txt"));
    write(QStringLiteral("APPS/c.DOC"));
    write(QStringLiteral("APPS/noext"));
    write(QStringLiteral("APPS/.hidden"));
    write(QStringLiteral("APPS/one/ONLY.TXT"));
    write(QStringLiteral("ROOT.TXT"), "abc");
    DriveNamespace::setNetworkDrives(
        {{'F', QStringLiteral("FS1"), QStringLiteral("SYS"), m_vol.path()},
         {'G', QStringLiteral("FS2"), QStringLiteral("DATA"), native(QStringLiteral("missing"))}});
}

void TestBrowser::init()
{
    m_platform.reset();
    m_form = std::make_unique<Form1>();
    m_browser = std::make_unique<FileBrowser>(*m_form, m_platform);
    m_scans = 0;
    m_browser->setScanTrigger([this] {
        ++m_scans;
        m_scannedPath = m_browser->fullPath();
    });
}

void TestBrowser::cleanup()
{
    m_browser.reset();
    m_form.reset();
}

void TestBrowser::listsAndCount_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("label2");
    QTest::addColumn<QString>("tip");
    const QString tip = QStringLiteral(" Double-click on file to scan ");
    QTest::newRow("one file") << "F:\\APPS\\one" << "*.*" << QStringList{"ONLY.TXT"} << "1 file." << tip;
    QTest::newRow("no file") << "F:\\EMPTY" << "*.*" << QStringList() << "" << "";
    QTest::newRow("sorted, no hidden files")
        << "F:\\APPS" << "*.*" << QStringList{"A.txt", "b.txt", "c.DOC", "noext", "ORDERS.DBF"}
        << "5 files." << tip;
    QTest::newRow("two wildcards") << "F:\\APPS" << "*.TXT;*.doc"
                                   << QStringList{"A.txt", "b.txt", "c.DOC"} << "3 files." << tip;
    QTest::newRow("folder typed in other case") << "f:\\apps\\ONE" << "*.txt"
                                                << QStringList{"ONLY.TXT"} << "1 file." << tip;
}

void TestBrowser::listsAndCount()
{
    QFETCH(QString, folder);
    QFETCH(QString, pattern);
    m_browser->setPatternText(pattern);
    QVERIFY(m_browser->setFolder(folder));
    QFETCH(QStringList, files);
    QCOMPARE(listed(), files);
    QFETCH(QString, label2);
    QCOMPARE(m_form->Label2()->text(), label2);
    QFETCH(QString, tip);
    QCOMPARE(m_form->File1()->toolTip(), tip);
}

void TestBrowser::folderList()
{
    QVERIFY(m_browser->selectDrive(QStringLiteral("f:")));
    QCOMPARE(m_browser->directoryPath(), QStringLiteral("F:\\"));
    QVERIFY(m_browser->setFolder(QStringLiteral("\\apps")));
    QCOMPARE(m_browser->directoryPath(), QStringLiteral("F:\\APPS"));
    DirListBox *dir = m_form->Dir1();
    QStringList shown;
    for (int i = 0; i < dir->count(); ++i)
        shown << dir->item(i)->text();
    QCOMPARE(shown, QStringList({"F:\\", "APPS", "one"}));
    QCOMPARE(dir->currentRow(), 1);

    emit dir->itemDoubleClicked(dir->item(2));
    QCOMPARE(m_browser->directoryPath(), QStringLiteral("F:\\APPS\\one"));
    QCOMPARE(m_form->Label2()->text(), QStringLiteral("1 file."));
    emit dir->itemDoubleClicked(dir->item(0));
    QCOMPARE(m_browser->directoryPath(), QStringLiteral("F:\\"));
}

void TestBrowser::typingPattern()
{
    QVERIFY(m_browser->setFolder(QStringLiteral("F:\\APPS")));
    m_browser->appendPatternHistory(QStringLiteral("*.txt")); // must not complete "*"
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    m_form->Combo2()->setFocus();
    QLineEdit *edit = m_form->Combo2()->lineEdit();
    edit->selectAll();
    QStringList steps;
    connect(m_form->Combo2(), &QComboBox::editTextChanged, this, [&] {
        steps << m_form->File1()->pattern() + QLatin1Char('|') + m_form->Label2()->text()
                     + QLatin1Char('|') + m_form->status();
        showResults(); // each step must withdraw them again
    });
    showResults();
    QTest::keyClicks(edit, QStringLiteral("*.t/x"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClick(edit, Qt::Key_Backspace);

    const QString invalid =
        QStringLiteral("Invalid file pattern. Try *.*, *.exe, *.xls, *.doc, *.mdb or *.dwg.");
    QCOMPARE(steps, QStringList({
                        "*|5 files.|",
                        "*.|1 file.|",
                        "*.t||",
                        "*.t||" + invalid,
                        "*.t||" + invalid,
                        "*.t||" + invalid,
                        "*.t||",
                    }));
    QCOMPARE(m_platform.count(QStringLiteral("beep")), 3);
    QCOMPARE(m_form->List1()->count(), 1); // refilled by the recorder after the last step
}

void TestBrowser::focusLossHistory_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("history");
    QTest::newRow("new pattern appended") << "*.doc" << QStringList{"*.txt", "*.doc"};
    QTest::newRow("case variant not added") << "*.TXT" << QStringList{"*.txt"};
    QTest::newRow("empty not added") << "" << QStringList{"*.txt"};
    QTest::newRow("refused pattern not added") << "*.t/x" << QStringList{"*.txt"};
}

void TestBrowser::focusLossHistory()
{
    QFETCH(QString, text);
    m_browser->appendPatternHistory(QStringLiteral("*.txt"));
    QCOMPARE(m_browser->patternText(), QStringLiteral("*.*")); // the typed text survives
    m_browser->setPatternText(text);
    m_browser->onPatternFocusLost();
    QFETCH(QStringList, history);
    QCOMPARE(m_browser->patternHistory(), history);
    QCOMPARE(m_browser->patternText(), text);
}

void TestBrowser::focusLeavesBox()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    m_form->Combo2()->setFocus();
    QTRY_VERIFY(m_form->Combo2()->hasFocus());
    m_browser->setPatternText(QStringLiteral("*.dbf"));
    m_form->Dir1()->setFocus();
    QTRY_COMPARE(m_browser->patternHistory(), QStringList(QStringLiteral("*.dbf")));
}

void TestBrowser::allFiles_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<bool>("cleared");
    QTest::newRow("already *.*") << "*.*" << false;
    QTest::newRow("spaces around *.*") << " *.* " << true;
    QTest::newRow("other pattern") << "*.txt" << true;
}

void TestBrowser::allFiles()
{
    QFETCH(QString, before);
    m_browser->setPatternText(before);
    showResults();
    QTest::mouseClick(m_form->Command3(), Qt::LeftButton);
    QCOMPARE(m_browser->patternText(), QStringLiteral("*.*"));
    QCOMPARE(m_form->File1()->pattern(), QStringLiteral("*.*"));
    QFETCH(bool, cleared);
    QCOMPARE(resultsShown(), !cleared);
}

void TestBrowser::historyFileGone()
{
    write(QStringLiteral("APPS/one/GONE.TXT"));
    m_browser->appendFileHistory(QStringLiteral("F:\\APPS\\one\\GONE.TXT"));
    QVERIFY(QFile::remove(native(QStringLiteral("APPS/one/GONE.TXT"))));
    const QString folder = m_browser->directoryPath();
    m_browser->setPatternText(QStringLiteral("*.txt"));
    m_form->Command1()->show();

    emit m_form->Combo1()->activated(0);
    QCOMPARE(m_platform.calls, QStringList(QStringLiteral("beep")));
    QCOMPARE(m_form->status(), QStringLiteral("File does not exist."));
    QCOMPARE(m_browser->directoryPath(), folder);
    QCOMPARE(m_browser->patternText(), QStringLiteral("*.txt"));
    QVERIFY(m_form->Command1()->isVisibleTo(m_form.get()));
    QCOMPARE(m_browser->fileHistory().size(), 1);
    QCOMPARE(m_scans, 0);
}

void TestBrowser::historyFileOpensAndScans()
{
    m_browser->setPatternText(QStringLiteral("*.txt"));
    m_browser->appendFileHistory(QStringLiteral("F:\\APPS\\ORDERS.DBF"));
    QCOMPARE(m_form->Combo1()->currentIndex(), -1);

    emit m_form->Combo1()->activated(0);
    QCOMPARE(m_form->Drive1()->drive(), QStringLiteral("f: [FS1/SYS]"));
    QCOMPARE(m_browser->directoryPath(), QStringLiteral("F:\\APPS"));
    QCOMPARE(m_browser->patternText(), QStringLiteral("*.*"));
    QCOMPARE(m_browser->selectedFileName(), QStringLiteral("ORDERS.DBF"));
    const QFileInfo fi(native(QStringLiteral("APPS/ORDERS.DBF")));
    QCOMPARE(m_form->Label1()->text(), fileFactsText(fi.lastModified(), 1500));
    QVERIFY(m_form->Command1()->isVisibleTo(m_form.get()));
    QCOMPARE(m_scans, 1);
    QCOMPARE(m_scannedPath, QStringLiteral("F:\\APPS\\ORDERS.DBF"));
    QVERIFY(m_platform.calls.isEmpty());

    // The scan extends the history only with a path not there in any case.
    m_browser->addToFileHistory(QStringLiteral("f:\\apps\\orders.dbf"));
    m_browser->addToFileHistory(QStringLiteral("F:\\ROOT.TXT"));
    QCOMPARE(m_browser->fileHistory(),
             QStringList({"F:\\APPS\\ORDERS.DBF", "F:\\ROOT.TXT"}));
}

void TestBrowser::rootFolderPath()
{
    QVERIFY(m_browser->setFolder(QStringLiteral("F:\\")));
    QVERIFY(m_browser->selectFileByPrefix(QStringLiteral("root")));
    QCOMPARE(m_browser->fullPath(), QStringLiteral("F:\\ROOT.TXT"));
    QVERIFY(m_form->Label1()->text().endsWith(QStringLiteral("  3")));
}

void TestBrowser::unreadableFileClicked()
{
    write(QStringLiteral("EMPTY/LATE.TXT"));
    QVERIFY(m_browser->setFolder(QStringLiteral("F:\\EMPTY")));
    m_form->Label1()->setText(QStringLiteral("before"));
    QVERIFY(QFile::remove(native(QStringLiteral("EMPTY/LATE.TXT"))));
    m_form->File1()->setListIndex(0);
    QCOMPARE(m_platform.calls, QStringList({"beep", "box|Velmora|Error! Can't access file.|exclamation|ok"}));
    QCOMPARE(m_form->Label1()->text(), QStringLiteral("before"));
    QVERIFY(!m_form->Command1()->isVisibleTo(m_form.get()));
}

void TestBrowser::unavailableDriveFallsBack()
{
    QVERIFY(m_browser->setFolder(QStringLiteral("F:\\APPS")));
    m_form->Check1()->setChecked(true);
    m_form->Timer1()->setEnabled(true);
    QVERIFY(!m_browser->selectDrive(QStringLiteral("g:")));
    QVERIFY(m_form->Drive1()->drive().startsWith(QStringLiteral("c:")));
    QCOMPARE(m_browser->directoryPath(), QStringLiteral("C:\\"));
    QVERIFY(m_platform.calls.isEmpty());
    // The folder change stopped watch mode but kept its check mark.
    QVERIFY(!m_form->Timer1()->isEnabled());
    QVERIFY(m_form->Check1()->isChecked());
    QVERIFY(!m_browser->selectDrive(QStringLiteral("\\"))); // no drive letter at all
}

void TestBrowser::restore_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<bool>("restored");
    QTest::addColumn<QString>("shownFolder");
    QTest::addColumn<QString>("shownPattern");
    QTest::newRow("stored folder") << "F:\\APPS" << "*.txt" << true << "F:\\APPS" << "*.txt";
    QTest::newRow("first run default") << "\\" << "*.*" << false << "C:\\" << "*.*";
    QTest::newRow("folder gone") << "F:\\OLD" << "*.txt" << false << "C:\\" << "*.*";
    QTest::newRow("drive unavailable") << "G:\\X" << "*.txt" << false << "C:\\" << "*.*";
    QTest::newRow("refused pattern") << "F:\\APPS" << "a\\b" << false << "C:\\" << "*.*";
}

void TestBrowser::restore()
{
    QFETCH(QString, folder);
    QFETCH(QString, pattern);
    QFETCH(bool, restored);
    QFETCH(QString, shownFolder);
    QFETCH(QString, shownPattern);
    QCOMPARE(m_browser->restore(folder, pattern), restored);
    QCOMPARE(m_browser->directoryPath(), shownFolder);
    QCOMPARE(m_form->Drive1()->drive().left(2), shownFolder.left(2).toLower());
    QCOMPARE(m_browser->patternText(), shownPattern);
    QCOMPARE(m_form->File1()->pattern(), shownPattern);
    QVERIFY(m_platform.calls.isEmpty());
}

void TestBrowser::doubleClickScans()
{
    QVERIFY(m_browser->setFolder(QStringLiteral("F:\\APPS\\one")));
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    FileListBox *list = m_form->File1();
    const QPoint at = list->visualItemRect(list->item(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QVERIFY(m_form->Command1()->isVisible());
    QCOMPARE(m_scans, 0);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(m_scans, 1);
    QCOMPARE(m_scannedPath, QStringLiteral("F:\\APPS\\one\\ONLY.TXT"));
}

void TestBrowser::findString_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("index");
    QTest::newRow("from the top") << "orders" << -1 << 4;
    QTest::newRow("first of two") << "B" << -1 << 1;
    QTest::newRow("after start, wrapping") << "a" << 0 << 0;
    QTest::newRow("after start") << "" << 2 << 3;
    QTest::newRow("no match") << "zz" << -1 << -1;
}

void TestBrowser::findString()
{
    QVERIFY(m_browser->setFolder(QStringLiteral("F:\\APPS")));
    QFETCH(QString, prefix);
    QFETCH(int, start);
    QFETCH(int, index);
    QCOMPARE(m_form->File1()->findString(prefix, start), index);
}

void TestBrowser::texts()
{
    const QDateTime stamp(QDate(1999, 12, 6), QTime(14, 15));
    const QLocale locale;
    const QString sep = locale.groupSeparator();
    QCOMPARE(fileFactsText(stamp, 1234567),
             locale.toString(stamp, QLocale::ShortFormat) + "  1" + sep + "234" + sep + "567");
    QVERIFY(fileFactsText(stamp, 0).endsWith(QStringLiteral("  0")));
}

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"
