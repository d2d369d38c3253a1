// The about window, help, and the HTML head assembly (Ctrl+H).
#include "MainWindowFixture.h"

#include "platform/Version.h"
#include "ui/HtmlAlbum.h"
#include "ui_TForm2.h"

#include <QTest>
#include <QTextEdit>

TEST(Version, ReadsFourNumbersOrLeavesThemAlone)
{
    quint16 a = 9, b = 9, c = 9, d = 9;
    ASSERT_TRUE(platform::ReadVersion(a, b, c, d));
    EXPECT_EQ(QStringLiteral("%1.%2.%3.%4").arg(a).arg(b).arg(c).arg(d), QStringLiteral("1.0.0.3"));
    for (const char* bad : {"", "1.0.0", "1.0.0.3.4", "1.x.0.3", "70000.0.0.1", static_cast<const char*>(nullptr)}) {
        quint16 w = 7, x = 7, y = 7, z = 7;
        EXPECT_FALSE(platform::parseVersion(bad, w, x, y, z)) << (bad ? bad : "null");
        EXPECT_EQ(w + x + y + z, 28);
    }
}

TEST_F(MainWindowTest, AboutWindowShowsTheVersionAndOpensItsLinks)
{
    ui().MenuAbout->trigger();
    auto& about = windows->form2->ui();
    EXPECT_EQ(about.LbBuild->text(), QStringLiteral("Albisko verze: 1.0.0.3"));
    EXPECT_EQ(about.Label1->text(), QStringLiteral("Program pro tvorbu popisků k fotkám "));
    EXPECT_EQ(about.Label4->text(), QStringLiteral("30.12.2004"));
    EXPECT_EQ(about.LbBuild->font().pixelSize(), 13);
    EXPECT_EQ(windows->form2->size(), QSize(337, 240));
    EXPECT_EQ(about.BitBtn1->geometry(), QRect(128, 208, 75, 25));

    windows->form2->show();
    QTest::mouseClick(about.Label2, Qt::LeftButton);
    QTest::mouseClick(about.Label7, Qt::LeftButton);
    QTest::mouseClick(about.LbMail, Qt::LeftButton);
    QTest::mouseClick(about.Label1, Qt::LeftButton);  // not a link
    EXPECT_EQ(dialogs.opened, (QStringList{about.Label2->text(), about.Label7->text(), "mailto:" + about.LbMail->text()}));
    EXPECT_TRUE(about.Label2->text().startsWith(QStringLiteral("https://")));
    QTest::mouseClick(about.BitBtn1, Qt::LeftButton);
    EXPECT_FALSE(windows->form2->isVisible());
}

TEST_F(MainWindowTest, HelpIsOpenedByItsNameInTheWorkingFolder)
{
    ui().MenuIndex->trigger();
    EXPECT_EQ(dialogs.opened, QStringList{QStringLiteral("albisko.html")});
    EXPECT_TRUE(dialogs.errors.isEmpty()) << "nothing is reported when the help is missing";
}

class HtmlHeadTest : public MainWindowTest {
protected:
    void writeTemplates(const QByteArray& head1, const QByteArray& head2)
    {
        QDir(work.path()).mkpath(QStringLiteral("html"));
        if (!head1.isNull())
            writeBytes(work.file(QStringLiteral("html/head1.tpl")), head1);
        if (!head2.isNull())
            writeBytes(work.file(QStringLiteral("html/head2.tpl")), head2);
    }
    QString page() { return ui().RichEdit1->toPlainText(); }
};

TEST_F(HtmlHeadTest, HeadIsAssembledFromBothTemplatesAndTheAlbumName)
{
    writeTemplates("<html>\r\n<head>\r\n<title>\r\n", "</title>\n</head>\n");
    open(makeAlbum(QStringLiteral("Vysoké Tatry"), {"a.jpg"}));
    form->show();
    QApplication::setActiveWindow(form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    QTest::keyClick(form, Qt::Key_H, Qt::ControlModifier);  // the hidden menu item's shortcut
    EXPECT_EQ(page(), QStringLiteral("<html>\n<head>\n<title>\n    Vysoké Tatry\n</title>\n</head>"));

    // A second run starts from scratch.
    ui().EditAName->setText(QStringLiteral("Jiné"));
    form->MenuHtmlClick();
    EXPECT_EQ(page(), QStringLiteral("<html>\n<head>\n<title>\n    Jiné\n</title>\n</head>"));
    form->hide();
}

TEST_F(HtmlHeadTest, MissingTemplateEndsTheCommandWithItsName)
{
    writeTemplates(QByteArray(), "</head>\n");
    ui().MenuHtml->trigger();
    EXPECT_EQ(takeErrors(), QStringList{QStringLiteral("Cannot open file %1/html/head1.tpl.").arg(work.path())});
    EXPECT_TRUE(page().isEmpty());

    QFile::remove(work.file(QStringLiteral("html/head2.tpl")));
    writeTemplates("<head>\n", QByteArray());
    ui().MenuHtml->trigger();
    EXPECT_EQ(takeErrors(), QStringList{QStringLiteral("Cannot open file %1/html/head2.tpl.").arg(work.path())});
    EXPECT_EQ(page(), QStringLiteral("<head>\n    ")) << "what was assembled before the error stays";
}
