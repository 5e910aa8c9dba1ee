// The About box: its message, titles and the web-page offer.
#include "about/about_box.h"
#include "forms/form1.h"
#include "support/fake_platform.h"

#include <QtTest>

class TestAbout : public QObject
{
    Q_OBJECT
private slots:
    void versionLine()
    {
        QCOMPARE(AboutVersionLine(1, 10), "Velmora 1.10"); // not 1.1
        QCOMPARE(AboutVersionLine(2, 0), "Velmora 2.0");
    }

    void boxes_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::newRow("yes opens the web page") << true;
        QTest::newRow("no starts nothing") << false;
    }
    void boxes()
    {
        QFETCH(bool, yes);
        Form1 form;
        FakePlatform platform;
        platform.answers = {yes ? Platform::Answer::Yes : Platform::Answer::No};
        AboutBox(form, platform).onAboutClicked();
        QStringList expected {
            "box|Velmora - About Box|Velmora 1.4\r\n\r\nCopyright (C) Velmora developers\r\n\r\n"
            "If you are using Netware Client32 Velmora will allow you to see those who\r\n"
            "are using a specific file. In addition, you will see their rights to the file, how\r\n"
            "the file was opened, and at what time the user logged in at.\r\n\r\n"
            "For ordering info, questions, enhancement ideas, etc., please e-mail me at:\r\n\r\n"
            "support@example.com|none|ok",
            "box|Velmora|Do you want to go to my web site now so you can download the "
            "latest updates to Velmora?|question|yesno"};
        if (yes)
            expected << "openUrl|https://example.com/velmora";
        QCOMPARE(platform.calls, expected);
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
