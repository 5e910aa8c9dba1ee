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
    void initTestCase()
    {
        QVERIFY(QDir(m_vol.path()).mkpath(QStringLiteral("APPS/one"))
                && QDir(m_vol.path()).mkpath("EMPTY"));
        for (const char *name : {"APPS/b.txt", "APPS/A.txt", "APPS/c.DOC", "APPS/noext",
                                 "APPS/.hidden", "APPS/one/ONLY.TXT"})
            write(QString::fromLatin1(name));
        write(QStringLiteral("APPS/ORDERS.DBF"), QByteArray(1500, 'x'));
        write(QStringLiteral("ROOT.TXT"), "abc");
        DriveNamespace::setNetworkDrives(
            {{'F', "FS1", "SYS", m_vol.path()}, {'G', "FS2", "DATA", m_vol.filePath("missing")}});
    }
    void init()
    {
        m_platform.reset();
        m_browser.reset();
        m_form = std::make_unique<Form1>();
        m_browser = std::make_unique<FileBrowser>(*m_form, m_platform);
        m_scanned.clear();
        connect(m_browser.get(), &FileBrowser::scanRequested,
                [this] { m_scanned << m_browser->fullPath(); });
    }
    void listsAndCount_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("label2");
        const auto row = [](const char *name, const char *folder, const char *pattern,
                            const QStringList &files, const char *label2) {
            QTest::newRow(name) << folder << pattern << files << label2;
        };
        row("one file", "F:\\APPS\\one", "*.*", {"ONLY.TXT"}, "1 file.");
        row("no file: no text, no tip", "F:\\EMPTY", "*.*", {}, "");
        row("sorted, no hidden files", "F:\\APPS", "*.*",
            {"A.txt", "b.txt", "c.DOC", "noext", "ORDERS.DBF"}, "5 files.");
        row("two wildcards, folder in other case", "f:\\apps", "*.TXT;*.doc",
            {"A.txt", "b.txt", "c.DOC"}, "3 files.");
    }
    void listsAndCount()
    {
        QFETCH(QString, folder);
        QFETCH(QString, pattern);
        QFETCH(QString, label2);
        m_browser->setPatternText(pattern);
        QVERIFY(m_browser->setFolder(folder));
        QStringList listed;
        for (int i = 0; i < m_form->File1()->count(); ++i)
            listed << m_form->File1()->item(i)->text();
        QTEST(listed, "files");
        QCOMPARE(m_form->Label2()->text(), label2);
        QCOMPARE(m_form->File1()->toolTip(),
                 label2.isEmpty() ? QString() : " Double-click on file to scan ");
    }
    void typingPattern()
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
            steps << m_form->File1()->pattern() + '|' + m_form->Label2()->text() + '|'
                    + m_form->status() + (resultsShown() ? "|results" : "");
            showResults(); // each step must withdraw them again
        });
        showResults();
        QTest::keyClicks(edit, QStringLiteral("*.t/x"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClick(edit, Qt::Key_Backspace);
        const QString invalid
            = "Invalid file pattern. Try *.*, *.exe, *.xls, *.doc, *.mdb or *.dwg.";
        QCOMPARE(steps,
                 QStringList({"*|5 files.|", "*.|1 file.|", "*.t||", "*.t||" + invalid,
                              "*.t||" + invalid, "*.t||" + invalid, "*.t||"}));
        QCOMPARE(m_platform.count(QStringLiteral("beep")), 3);
        // A second pattern after a semicolon is typed without a beep.
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("*.dbf;*.txt"));
        QCOMPARE(m_platform.count(QStringLiteral("beep")), 3);
        QCOMPARE(steps.last(), "*.dbf;*.txt|3 files.|");
    }
    void focusLossHistory_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("history");
        QTest::newRow("new pattern appended") << "*.doc" << QStringList {"*.txt", "*.doc"};
        QTest::newRow("case variant not added") << "*.TXT" << QStringList {"*.txt"};
        QTest::newRow("refused pattern not added") << "*.t/x" << QStringList {"*.txt"};
    }
    void focusLossHistory()
    {
        QFETCH(QString, text);
        m_browser->appendPatternHistory(QStringLiteral("*.txt"));
        m_browser->setPatternText(text);
        m_browser->onPatternFocusLost();
        QTEST(m_browser->patternHistory(), "history");
        QCOMPARE(m_browser->patternText(), text);
    }
    // Opening the drop-down takes the focus without leaving the box: the
    // typed pattern joins the history only when the focus goes elsewhere.
    void patternJoinsHistoryWhenFocusLeaves()
    {
        m_browser->appendPatternHistory(QStringLiteral("*.txt"));
        m_form->show();
        QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
        m_form->Combo2()->setFocus();
        QLineEdit *edit = m_form->Combo2()->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("*.doc"));
        m_form->Combo2()->showPopup();
        QCOMPARE(m_browser->patternHistory(), QStringList {"*.txt"});
        m_form->Combo2()->hidePopup();
        m_form->File1()->setFocus();
        QCOMPARE(m_browser->patternHistory(), QStringList({"*.txt", "*.doc"}));
    }
    void allFilesButton()
    {
        QVERIFY(m_browser->setFolder(QStringLiteral("F:\\APPS")));
        for (const QString &before : {QStringLiteral("*.*"), QStringLiteral(" *.* ")}) {
            m_browser->setPatternText(before);
            m_form->Label5()->setText(QStringLiteral("1 user(s)"));
            m_form->Command3()->click();
            QCOMPARE(m_browser->patternText(), QStringLiteral("*.*"));
            // Only a real change of the text clears the results.
            QCOMPARE(m_form->Label5()->text().isEmpty(), before != QStringLiteral("*.*"));
        }
    }
    void historyFileGone()
    {
        m_browser->appendFileHistory(QStringLiteral("F:\\APPS\\one\\GONE.TXT"));
        QCOMPARE(m_form->Combo1()->currentIndex(), -1); // listed, not shown as chosen
        const QString folder = m_browser->directoryPath();
        m_browser->setPatternText(QStringLiteral("*.txt"));
        m_form->Command1()->show();
        emit m_form->Combo1()->activated(0);
        QCOMPARE(m_platform.calls, QStringList(QStringLiteral("beep")));
        QCOMPARE(
            QStringList({m_form->status(), m_browser->directoryPath(), m_browser->patternText()}),
            QStringList({"File does not exist.", folder, "*.txt"}));
        QVERIFY(m_form->Command1()->isVisibleTo(m_form.get()));
        QCOMPARE(m_browser->fileHistory().size(), 1);
        QVERIFY(m_scanned.isEmpty());
    }
    void historyFileNotListedIsReported()
    {
        m_browser->appendFileHistory(QStringLiteral("F:\\APPS\\.hidden"));
        emit m_form->Combo1()->activated(0);
        QCOMPARE(m_browser->directoryPath(), QStringLiteral("F:\\APPS"));
        QCOMPARE(m_browser->selectedFileName(), QString());
        QCOMPARE(m_platform.calls, QStringList(QStringLiteral("beep")));
        QCOMPARE(
            m_form->status(),
            QStringLiteral("File '.hidden' is not shown in the file list and cannot be scanned."));
        QVERIFY(m_form->Command1()->isHidden());
        QVERIFY(m_scanned.isEmpty());
    }
    void historyFileOpensAndScans()
    {
        m_browser->setPatternText(QStringLiteral("*.txt"));
        m_browser->appendFileHistory(QStringLiteral("F:\\APPS\\ORDERS.DBF"));
        emit m_form->Combo1()->activated(0);
        QCOMPARE(QStringList({m_form->Drive1()->drive(), m_browser->directoryPath(),
                              m_browser->patternText(), m_browser->selectedFileName()}),
                 QStringList({"f: [FS1/SYS]", "F:\\APPS", "*.*", "ORDERS.DBF"}));
        QCOMPARE(m_form->Label1()->text(),
                 fileFactsText(QFileInfo(m_vol.filePath("APPS/ORDERS.DBF")).lastModified(), 1500));
        QVERIFY(m_form->Label1()->text().endsWith("  1" + QLocale().groupSeparator() + "500"));
        QVERIFY(m_form->Command1()->isVisibleTo(m_form.get()));
        QCOMPARE(m_scanned, QStringList("F:\\APPS\\ORDERS.DBF"));
        QVERIFY(m_platform.calls.isEmpty());
        // The scan extends the history only with a path not there in any case.
        m_browser->addToFileHistory(QStringLiteral("f:\\apps\\orders.dbf"));
        m_browser->addToFileHistory(QStringLiteral("F:\\ROOT.TXT"));
        QCOMPARE(m_browser->fileHistory(), QStringList({"F:\\APPS\\ORDERS.DBF", "F:\\ROOT.TXT"}));
    }
    void rootFolderAndDoubleClick()
    {
        QVERIFY(m_browser->setFolder(QStringLiteral("F:\\")));
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        FileListBox *list = m_form->File1();
        const QPoint at = list->visualItemRect(list->item(0)).center(); // ROOT.TXT
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(m_form->Label1()->text().endsWith(QStringLiteral("  3")));
        QVERIFY(m_scanned.isEmpty());
        // A click on the file already selected reads its facts again.
        QFile grown(m_vol.filePath("ROOT.TXT"));
        QVERIFY(grown.open(QIODevice::Append) && grown.write("xy") == 2);
        grown.close();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QVERIFY(m_form->Label1()->text().endsWith(QStringLiteral("  5")));
        QVERIFY(grown.resize(3)); // as the other tests know it
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(m_scanned, QStringList("F:\\ROOT.TXT"));
        DirListBox *dirs = m_form->Dir1();
        const auto apps = dirs->findItems(QStringLiteral("APPS"), Qt::MatchFixedString);
        QCOMPARE(apps.size(), 1);
        const QPoint folder = dirs->visualItemRect(apps.first()).center();
        QTest::mouseClick(dirs->viewport(), Qt::LeftButton, {}, folder);
        QTest::keyClick(dirs, Qt::Key_Down);
        QTest::keyClick(dirs, Qt::Key_Up);
        QCOMPARE(m_browser->directoryPath(), "F:\\"); // a click or an arrow only selects
        QTest::mouseDClick(dirs->viewport(), Qt::LeftButton, {}, folder);
        QCOMPARE(m_browser->directoryPath(), "F:\\APPS");
        dirs->setCurrentItem(dirs->findItems(QStringLiteral("one"), Qt::MatchFixedString).value(0));
        QTest::keyClick(dirs, Qt::Key_Enter); // the keypad's, as Return
        QCOMPARE(m_browser->directoryPath(), "F:\\APPS\\one");
    }
    void selectionSurvivesClicksBesideAndCtrlClick()
    {
        QVERIFY(m_browser->setFolder(QStringLiteral("F:\\APPS\\one")));
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
        FileListBox *list = m_form->File1();
        const QPoint on = list->visualItemRect(list->item(0)).center(); // ONLY.TXT
        const QPoint beside(on.x(), list->viewport()->height() - 3);
        QVERIFY(!list->indexAt(beside).isValid());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, on);
        const QString facts = m_form->Label1()->text();
        QVERIFY(!facts.isEmpty());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, beside);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, on);
        QTest::keyClick(list, Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(m_browser->selectedFileName(), QStringLiteral("ONLY.TXT"));
        QCOMPARE(m_form->Label1()->text(), facts);
        QVERIFY(m_form->Command1()->isVisible());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, on);
        QCOMPARE(m_scanned, QStringList("F:\\APPS\\one\\ONLY.TXT"));
    }
    void unavailableDriveFallsBack()
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
    }
    // Drives mapped or dropped while the window is open: a letter not listed
    // reads the list again, and so does opening it; a current drive that is
    // gone moves the browser to C:.
    void drivesChangeWhileOpen()
    {
        const QList<NetworkDrive> before
            = {{'F', "FS1", "SYS", m_vol.path()}, {'G', "FS2", "DATA", m_vol.filePath("missing")}};
        QVERIFY(m_browser->setFolder(QStringLiteral("F:\\APPS")));
        DriveNamespace::setNetworkDrives({before[1], {'H', "FS1", "SYS", m_vol.path()}});
        QVERIFY(m_browser->selectDrive(QStringLiteral("h:")));
        QCOMPARE(m_browser->directoryPath(), QStringLiteral("H:\\"));
        DriveNamespace::setNetworkDrives(before);
        m_form->Drive1()->showPopup();
        m_form->Drive1()->hidePopup();
        QVERIFY(m_form->Drive1()->drive().startsWith(QStringLiteral("c:")));
        QCOMPARE(m_browser->directoryPath(), QStringLiteral("C:\\"));
    }
    void restore_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("folderAfter");
        QTest::addColumn<QString>("patternAfter");
        const auto row = [](const char *name, const char *folder, const char *pattern,
                            const char *folderAfter, const char *patternAfter) {
            QTest::newRow(name) << folder << pattern << folderAfter << patternAfter;
        };
        row("stored folder", "F:\\APPS", "*.txt", "F:\\APPS", "*.txt");
        row("first run default", "\\", "*.*", "C:\\", "*.*");
        row("folder gone", "F:\\OLD", "*.txt", "C:\\", "*.*");
        row("refused pattern keeps the folder", "F:\\APPS", "a\\b", "F:\\APPS", "*.*");
    }
    void restore()
    {
        QFETCH(QString, folder);
        QFETCH(QString, pattern);
        QFETCH(QString, folderAfter);
        QFETCH(QString, patternAfter);
        QCOMPARE(m_browser->restore(folder, pattern),
                 folder == folderAfter && pattern == patternAfter);
        QCOMPARE(m_browser->directoryPath(), folderAfter);
        QCOMPARE(m_form->Drive1()->drive().left(2), folderAfter.left(2).toLower());
        QCOMPARE(m_browser->patternText(), patternAfter);
        QCOMPARE(m_form->File1()->pattern(), patternAfter);
        QVERIFY(m_platform.calls.isEmpty());
    }

private:
    void write(const QString &rel, const QByteArray &data = {})
    {
        QFile f(m_vol.filePath(rel));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    // What a scan leaves on the window, for checking that it is withdrawn.
    void showResults()
    {
        m_form->List1()->addItem(QStringLiteral("JSMITH"));
        m_form->setStatus(QStringLiteral("done"));
    }
    bool resultsShown() const
    {
        return m_form->List1()->count() == 1 && !m_form->status().isEmpty();
    }

    QTemporaryDir m_vol;
    FakePlatform m_platform;
    std::unique_ptr<Form1> m_form;
    std::unique_ptr<FileBrowser> m_browser;
    QStringList m_scanned;
};

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"
