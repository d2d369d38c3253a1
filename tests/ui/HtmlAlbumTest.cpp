// The HTML head assembly: on its own (two templates written to a fresh folder, the album name
// between them, the text holders as the main window has them), and as the main window's hidden
// command (Ctrl+H) with its templates in the working folder.
#include "MainWindowFixture.h"
#include "support/Fixtures.h"

#include "platform/Errors.h"
#include "ui/commands/HtmlAlbum.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

namespace {

class HtmlAlbumTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(QDir(programDir.path()).mkpath(QStringLiteral("html"))); }

    QString templatePath(const QString& name) const { return programDir.file(QStringLiteral("html/") + name); }
    void writeTemplates(const QByteArray& head1, const QByteArray& head2)
    {
        writeBytes(templatePath(QStringLiteral("head1.tpl")), head1);
        writeBytes(templatePath(QStringLiteral("head2.tpl")), head2);
    }

    void assemble(const QString& albumName) { ui::assembleHtmlHead(programDir.path(), albumName, page, second); }

    // The assembly's error message; a test that expects one fails when there is none.
    QString failure(const QString& albumName)
    {
        try {
            assemble(albumName);
        } catch (const platform::Error& e) {
            return e.message();
        }
        ADD_FAILURE() << "no error";
        return QString();
    }

    static QStringList lines(const QTextEdit& edit) { return edit.toPlainText().split(u'\n'); }

    TempFolder programDir;
    QTextEdit page;    // RichEdit1
    QTextEdit second;  // RichEdit2
};

}  // namespace

TEST_F(HtmlAlbumTest, PutsTheAlbumNameBetweenTheTwoTemplates)
{
    writeTemplates("<html>\n<head>\n<title>\n", "</title>\n</head>\n");
    assemble(QStringLiteral("Vysoké Tatry"));
    EXPECT_EQ(lines(page), (QStringList{"<html>", "<head>", "<title>", "    Vysoké Tatry", "</title>", "</head>"}));
    EXPECT_EQ(lines(second), (QStringList{"</title>", "</head>"}));
    EXPECT_TRUE(page.toHtml().contains(QStringLiteral("&lt;title&gt;"))) << "the templates are shown as plain text";

    // The album name goes in as typed, whatever it holds.
    assemble(QStringLiteral("Tatry & Fatra <2004>"));
    EXPECT_EQ(lines(page).value(3), QStringLiteral("    Tatry & Fatra <2004>"));
    assemble(QString());
    EXPECT_EQ(lines(page).value(3), QStringLiteral("    "));
}

TEST_F(HtmlAlbumTest, KeepsTheTemplatesLinesAsTheyAre)
{
    struct Case {
        const char* why;
        QByteArray head1, head2;
        QStringList page;
    };
    const Case cases[] = {
        {"CR LF, LF and a lone CR end lines; blank lines stay; no final break needed",
         "a\r\nb\rc\n\n  d", "e\r\n\r\n", {"a", "b", "c", "", "  d", "    N", "e", ""}},
        {"a first template of one blank line", "\n", "x\n", {"", "    N", "x"}},
        {"an empty second template adds nothing", "a\n", "", {"a", "    N"}},
        {"two empty templates", "", "", {"    N"}},
        {"a first template of two blank lines", "\n\n", "\n", {"", "", "    N", ""}},
    };
    for (const Case& c : cases) {
        writeTemplates(c.head1, c.head2);
        assemble(QStringLiteral("N"));
        EXPECT_EQ(lines(page), c.page) << c.why << ": " << page.toPlainText().toStdString();
    }
}

TEST_F(HtmlAlbumTest, ReadsUtf8AndOlderCentralEuropeanTemplates)
{
    // UTF-8, with a byte order mark that is not part of the text.
    writeTemplates("\xEF\xBB\xBF<title>Výlet\n", QString(QStringLiteral("<!-- žluťoučký kůň -->\n")).toUtf8());
    assemble(QStringLiteral("Šumava"));
    EXPECT_EQ(lines(page), (QStringList{"<title>Výlet", "    Šumava", "<!-- žluťoučký kůň -->"}));

    // A template in Windows-1250 (not valid UTF-8) is read in that code page, not mangled.
    writeTemplates(cp1250(QStringLiteral("<title>Výlet\n")), cp1250(QStringLiteral("<!-- žluťoučký kůň -->\n")));
    assemble(QStringLiteral("Šumava"));
    EXPECT_EQ(lines(page), (QStringList{"<title>Výlet", "    Šumava", "<!-- žluťoučký kůň -->"}));
}

TEST_F(HtmlAlbumTest, MissingFirstTemplateEndsTheAssemblyAtOnce)
{
    page.setPlainText(QStringLiteral("earlier page"));
    second.setPlainText(QStringLiteral("earlier rest"));
    writeBytes(templatePath(QStringLiteral("head2.tpl")), "</head>\n");

    EXPECT_EQ(failure(QStringLiteral("Tatry")), QStringLiteral("Cannot open file %1").arg(templatePath("head1.tpl")));
    EXPECT_TRUE(page.toPlainText().isEmpty()) << "the page was cleared first: " << page.toPlainText().toStdString();
    EXPECT_EQ(second.toPlainText(), QStringLiteral("earlier rest")) << "the second template was never loaded";

    // A folder of that name is no template either.
    ASSERT_TRUE(QDir(programDir.path()).mkpath(QStringLiteral("html/head1.tpl")));
    EXPECT_EQ(failure(QStringLiteral("Tatry")), QStringLiteral("Cannot open file %1").arg(templatePath("head1.tpl")));
}

TEST_F(HtmlAlbumTest, MissingSecondTemplateLeavesTheFirstAndTheName)
{
    writeTemplates("<html>\n<title>\n", "</head>\n");
    assemble(QStringLiteral("Tatry"));
    ASSERT_TRUE(QFile::remove(templatePath(QStringLiteral("head2.tpl"))));

    EXPECT_EQ(failure(QStringLiteral("Fatra")), QStringLiteral("Cannot open file %1").arg(templatePath("head2.tpl")));
    EXPECT_EQ(lines(page), (QStringList{"<html>", "<title>", "    Fatra"}));

    // No html folder at all: the first template is the one reported.
    ASSERT_TRUE(QDir(templatePath(QString())).removeRecursively());
    EXPECT_EQ(failure(QStringLiteral("Fatra")), QStringLiteral("Cannot open file %1").arg(templatePath("head1.tpl")));
}

TEST_F(HtmlAlbumTest, EveryRunStartsFromScratch)
{
    writeTemplates("<html>\n<head>\n<title>\n", "</title>\n</head>\n");
    assemble(QStringLiteral("Tatry"));
    assemble(QStringLiteral("Tatry"));
    EXPECT_EQ(lines(page), (QStringList{"<html>", "<head>", "<title>", "    Tatry", "</title>", "</head>"}));
    EXPECT_EQ(lines(second), (QStringList{"</title>", "</head>"}));

    writeTemplates("<title>\n", "</title>\n");
    assemble(QStringLiteral("Jiné"));
    EXPECT_EQ(lines(page), (QStringList{"<title>", "    Jiné", "</title>"}));
    EXPECT_EQ(lines(second), (QStringList{"</title>"}));
}

// The templates the build puts beside the program (build/workdir/html, where scripts/run.sh
// starts it) fit together into the head of a page.
TEST_F(HtmlAlbumTest, ShippedTemplatesMakeThePagesHead)
{
    const QString workdir = QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/../../workdir")).absolutePath();
    ASSERT_TRUE(QFile::exists(workdir + QStringLiteral("/html/head1.tpl"))) << workdir.toStdString();
    ui::assembleHtmlHead(workdir, QStringLiteral("Vysoké Tatry"), page, second);

    const QStringList head = lines(page);
    const qsizetype name = head.indexOf(QStringLiteral("    Vysoké Tatry"));
    ASSERT_GT(name, 0) << page.toPlainText().toStdString();
    EXPECT_TRUE(head.first().startsWith(QStringLiteral("<!DOCTYPE html>"), Qt::CaseInsensitive));
    EXPECT_TRUE(head[name - 1].trimmed().endsWith(QStringLiteral("<title>"))) << head[name - 1].toStdString();
    EXPECT_EQ(head[name + 1].trimmed(), QStringLiteral("</title>"));
    EXPECT_EQ(head.last().trimmed(), QStringLiteral("</head>"));
    EXPECT_TRUE(page.toPlainText().contains(QStringLiteral("<meta charset=\"utf-8\">"))) << "the templates are UTF-8";
}

// ---- Through the main window ------------------------------------------------------------------

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
