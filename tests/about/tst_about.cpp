// The About box: its message, titles and the web-page offer.
#include "about/about_box.h"
#include "forms/form1.h"
#include "support/fake_platform.h"

#include <QtTest>

class TestAbout : public QObject
{
    Q_OBJECT
private slots:
    void versionLine_data();
    void versionLine();
    void body();
    void boxes_data();
    void boxes();
};

void TestAbout::versionLine_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QString>("line");
    QTest::newRow("this release") << 1 << 4 << "Velmora 1.4";
    QTest::newRow("minor 10 is not 1.1") << 1 << 10 << "Velmora 1.10";
    QTest::newRow("no leading zeros") << 2 << 0 << "Velmora 2.0";
}

void TestAbout::versionLine()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QString, line);
    QCOMPARE(AboutVersionLine(major, minor), line);
}

void TestAbout::body()
{
    QCOMPARE(AboutBodyText(1, 4),
             QStringLiteral("Velmora 1.4\r\n\r\n"
                            "Copyright (C) Velmora developers\r\n\r\n"
                            "If you are using Netware Client32 Velmora will allow you to see those who\r\n"
                            "are using a specific file. In addition, you will see their rights to the file, how\r\n"
                            "the file was opened, and at what time the user logged in at.\r\n\r\n"
                            "For ordering info, questions, enhancement ideas, etc., please e-mail me at:\r\n\r\n"
                            "support@example.com"));
}

void TestAbout::boxes_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes opens the web page") << true;
    QTest::newRow("no starts nothing") << false;
}

void TestAbout::boxes()
{
    QFETCH(bool, yes);
    Form1 form;
    FakePlatform platform;
    platform.answers = {yes ? Platform::Answer::Yes : Platform::Answer::No};
    AboutBox about(form, platform);

    about.onAboutClicked();

    QStringList expected{
        QStringLiteral("box|Velmora - About Box|%1|none|ok")
            .arg(AboutBodyText(VELMORA_VERSION_MAJOR, VELMORA_VERSION_MINOR)),
        QStringLiteral("box|Velmora|Do you want to go to my web site now so you can download the "
                       "latest updates to Velmora?|question|yesno")};
    if (yes)
        expected << QStringLiteral("openUrl|https://example.com/velmora");
    QCOMPARE(platform.calls, expected);
    QVERIFY(platform.calls.first().contains(QStringLiteral("|Velmora 1.4\r\n")));
}

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
