// The toolkit seams: twips conversion and the classic timer's meaning.
#include "platform/classic_timer.h"
#include "platform/qt_platform.h"
#include "platform/twips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

#include <QSignalSpy>
#include <QtTest>

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void twipsToPixels_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("pixels");
        QTest::newRow("one pixel") << 15 << 1;
        QTest::newRow("window width") << 8685 << 579;
        QTest::newRow("rounds half up") << 8 << 1;
        QTest::newRow("rounds down") << 7 << 0;
    }
    void twipsToPixels()
    {
        QFETCH(int, twips);
        QFETCH(int, pixels);
        QCOMPARE(twips::toPixels(twips), pixels);
    }

    void timerTicksOnlyWhenEnabledWithAnInterval()
    {
        ClassicTimer t;
        QSignalSpy spy(&t, &ClassicTimer::tick);
        t.setInterval(5);
        QVERIFY(!t.isTicking());
        t.setInterval(0);
        t.setEnabled(true);
        QVERIFY(t.isEnabled());
        QVERIFY(!t.isTicking()); // interval 0 never ticks, even enabled
        QTest::qWait(30);
        QCOMPARE(spy.count(), 0);
        t.setInterval(10);
        QVERIFY(t.isTicking());
        QTRY_VERIFY(spy.count() > 1); // on and on, not once
        t.setEnabled(false);
        QVERIFY(!t.isTicking());
    }

    void timerIntervalChangeRestartsCount()
    {
        ClassicTimer t;
        t.setInterval(60000);
        t.setEnabled(true);
        QTest::qWait(30);
        const int before = t.remainingMs();
        t.setInterval(60000);
        QVERIFY(t.remainingMs() > before);
    }

    // The real boxes behind every confirmation and message prompt, answered
    // by a click from the event loop they run.
    void boxesGiveTheAnswerClicked_data()
    {
        QTest::addColumn<bool>("yesNo");
        QTest::addColumn<int>("click"); // the standard button
        QTest::addColumn<bool>("busy"); // a scan's busy pointer is on
        QTest::addColumn<int>("answer");
        QTest::newRow("Yes") << true << int(QMessageBox::Yes) << false
                             << int(Platform::Answer::Yes);
        QTest::newRow("No, during a scan")
            << true << int(QMessageBox::No) << true << int(Platform::Answer::No);
        QTest::newRow("OK") << false << int(QMessageBox::Ok) << false << int(Platform::Answer::Ok);
    }
    void boxesGiveTheAnswerClicked()
    {
        QFETCH(bool, yesNo);
        QFETCH(int, click);
        QFETCH(bool, busy);
        QtPlatform platform;
        if (busy)
            platform.pushBusyCursor();
        QString seen = "no box";
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            const QCursor *pointer = QApplication::overrideCursor();
            seen = pointer ? QString::number(pointer->shape()) : "none";
            if (yesNo && box->defaultButton() != box->button(QMessageBox::Yes))
                seen = "Enter would not answer Yes";
            if (!box->button(QMessageBox::StandardButton(click)))
                seen = "no such button";
            if (QAbstractButton *b = box->button(QMessageBox::StandardButton(click)))
                b->click();
            else
                box->done(-1); // seen below; a hang otherwise
        });
        const auto answer
            = platform.messageBox(nullptr, "text", "Velmora", Platform::Icon::Question,
                                  yesNo ? Platform::Buttons::YesNo : Platform::Buttons::Ok, false);
        QTEST(int(answer), "answer");
        // The box shows the arrow over a busy pointer, and puts the busy one back.
        QCOMPARE(seen, busy ? QString::number(Qt::ArrowCursor) : "none");
        if (busy) {
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            platform.popBusyCursor();
        }
    }
    void inputBoxGivesTheTextOrNothing_data()
    {
        QTest::addColumn<bool>("accept");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void inputBoxGivesTheTextOrNothing()
    {
        QFETCH(bool, accept);
        QtPlatform platform;
        QStringList shown;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            shown = QStringList {dialog->windowTitle(), dialog->labelText(), dialog->textValue()};
            dialog->setTextValue("typed");
            accept ? dialog->accept() : dialog->reject();
        });
        QCOMPARE(platform.inputBox(nullptr, "prompt", "Velmora", "default"),
                 accept ? "typed" : QString());
        QCOMPARE(shown, QStringList({"Velmora", "prompt", "default"}));
    }
    // The box to raise again is found by its title: an exact one first, a
    // longer one else, never a hidden one.
    void activatesTheWindowTitled_data()
    {
        QTest::addColumn<QStringList>("titles"); // "hidden " before a title hides it
        QTest::addColumn<int>("activated"); // -1: none
        QTest::newRow("exact beats longer")
            << QStringList {"Velmora", "Velmora - 2", "Velmora - 3"} << 0;
        QTest::newRow("longer, the exact one hidden")
            << QStringList {"Velmora - 2", "hidden Velmora", "Other"} << 0;
        QTest::newRow("none") << QStringList {"Other", "hidden Velmora"} << -1;
    }
    void activatesTheWindowTitled()
    {
        QFETCH(QStringList, titles);
        QFETCH(int, activated);
        std::vector<std::unique_ptr<QWidget>> windows;
        for (const QString &t : titles) {
            windows.push_back(std::make_unique<QWidget>());
            windows.back()->setWindowTitle(QString(t).remove("hidden "));
            windows.back()->setVisible(!t.startsWith("hidden "));
        }
        QTRY_VERIFY(QApplication::activeWindow());
        const QWidget *before = QApplication::activeWindow();
        QCOMPARE(QtPlatform().activateWindowByTitle("Velmora"), activated >= 0);
        const QWidget *expected = activated >= 0 ? windows[activated].get() : before;
        QVERIFY(activated < 0 || before != expected); // the last one shown is active
        QTRY_COMPARE(QApplication::activeWindow(), expected);
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
