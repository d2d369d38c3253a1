// The about window on its own: layout, texts, fonts, the program's picture, the version from the
// build, the three links (through the platform layer) and OK. Also the reading of the version.
#include "support/ScriptedDialogs.h"

#include "platform/Version.h"
#include "ui/windows/TForm2.h"
#include "ui_TForm2.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QSet>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class AboutWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        owner.setGeometry(300, 200, 735, 620);  // stands in for the main window
        owner.show();
        form = new TForm2(&owner);
    }

    void TearDown() override
    {
        form->close();
        owner.close();
        // `form` is deleted with its owner.
        EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(" | ").toStdString();
    }

    Ui::TForm2& ui() { return form->ui(); }

    ScriptedDialogs dialogs;
    QWidget owner;
    TForm2* form = nullptr;
};

}  // namespace

TEST_F(AboutWindowTest, LaysOutItsControlsAsDesigned)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("O programu"));
    EXPECT_EQ(form->size(), QSize(337, 240));
    EXPECT_EQ(form->minimumSize(), QSize(337, 240)) << "fixed size";
    EXPECT_EQ(form->maximumSize(), QSize(337, 240)) << "fixed size";

    EXPECT_EQ(ui().Bevel1->geometry(), QRect(8, 8, 321, 193));
    EXPECT_EQ(ui().Bevel1->frameShape(), QFrame::Box);
    EXPECT_EQ(ui().Image1->geometry(), QRect(16, 16, 73, 73));
    EXPECT_EQ(ui().BitBtn1->geometry(), QRect(128, 208, 75, 25));
    EXPECT_EQ(ui().BitBtn1->text(), QStringLiteral("&OK"));
    EXPECT_TRUE(ui().BitBtn1->isDefault());

    const std::pair<QLabel*, QPoint> places[] = {
        {ui().LbBuild, {104, 16}}, {ui().Label1, {104, 40}}, {ui().Label8, {104, 56}},
        {ui().Label5, {16, 104}},  {ui().Label2, {104, 104}}, {ui().Label6, {16, 128}},
        {ui().Label7, {56, 128}},  {ui().Label3, {16, 160}},  {ui().LbMail, {88, 160}},
        {ui().Label4, {16, 176}},
    };
    for (const auto& [label, place] : places) {
        EXPECT_EQ(label->pos(), place) << label->objectName().toStdString();
        EXPECT_TRUE(ui().Bevel1->geometry().contains(label->geometry())) << label->objectName().toStdString();
    }
}

TEST_F(AboutWindowTest, ShowsItsTextsInTheProgramsFont)
{
    EXPECT_EQ(ui().Label1->text(), QStringLiteral("Program pro tvorbu popisků k fotkám "));
    EXPECT_TRUE(ui().Label8->text().contains(QStringLiteral("webovou fotogalerii"))) << ui().Label8->text().toStdString();
    EXPECT_EQ(ui().Label5->text(), QStringLiteral("Stránky programu: "));
    EXPECT_EQ(ui().Label6->text(), QStringLiteral("Galerie:"));
    EXPECT_EQ(ui().Label3->text(), QStringLiteral("Tým Albisko"));
    EXPECT_EQ(ui().Label4->text(), QStringLiteral("30.12.2004"));

    EXPECT_EQ(form->font().pixelSize(), 11);
    EXPECT_EQ(form->font().families().value(0), QStringLiteral("Liberation Sans"));
    EXPECT_FALSE(form->font().bold());
    EXPECT_EQ(ui().LbBuild->font().pixelSize(), 13);
    EXPECT_TRUE(ui().LbBuild->font().bold());
    for (QLabel* label : {ui().Label1, ui().Label8, ui().Label5, ui().Label2, ui().Label6, ui().Label7, ui().Label3,
                          ui().LbMail, ui().Label4}) {
        EXPECT_EQ(label->font().pixelSize(), 11) << label->objectName().toStdString();
        EXPECT_FALSE(label->font().bold()) << label->objectName().toStdString();
    }
}

// The controls keep their fixed places, so every text must fit the label that holds it: a text
// that does not is cut off on screen (trailing blanks are invisible and may stick out).
TEST_F(AboutWindowTest, EveryTextFitsItsLabel)
{
    form->show();  // the version label gets its full text
    for (QLabel* label : form->findChildren<QLabel*>()) {
        const QString text = label->text();
        if (text.isEmpty())
            continue;
        QString shown = text;
        while (shown.endsWith(u' '))
            shown.chop(1);
        const QFontMetrics metrics(label->font());
        EXPECT_LE(metrics.horizontalAdvance(shown), label->width())
            << label->objectName().toStdString() << ": " << text.toStdString();
        EXPECT_LE(metrics.height(), label->height()) << label->objectName().toStdString();
    }
}

// "Stránky programu:" ends as far before its link as "Galerie:" before its own.
TEST_F(AboutWindowTest, TheWebPagesLabelKeepsTheGapOfTheGalleryLine)
{
    const auto gapAfter = [](QLabel* label, QLabel* link) {
        return link->x() - label->x() - QFontMetrics(label->font()).horizontalAdvance(label->text().trimmed());
    };
    EXPECT_GE(gapAfter(ui().Label5, ui().Label2), gapAfter(ui().Label6, ui().Label7));
    EXPECT_GE(gapAfter(ui().Label6, ui().Label7), 2);
}

TEST_F(AboutWindowTest, ShowsTheVersionFromTheBuildWhenShown)
{
    EXPECT_EQ(ui().LbBuild->text(), QStringLiteral("Albisko verze: ")) << "set when the window is shown";
    form->show();
    EXPECT_EQ(ui().LbBuild->text(), QStringLiteral("Albisko verze: " ALBISKO_TEST_VERSION));
    form->hide();
    form->show();
    EXPECT_EQ(ui().LbBuild->text(), QStringLiteral("Albisko verze: " ALBISKO_TEST_VERSION)) << "the same on every showing";
}

TEST_F(AboutWindowTest, ShowsTheProgramsPicture)
{
    // The test program sets no application icon: the window has its own picture.
    const QPixmap picture = ui().Image1->pixmap();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), QSize(73, 73));
    const QImage image = picture.toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            colours.insert(image.pixel(x, y));
    EXPECT_GT(colours.size(), 4) << "a picture, not a blank";
}

TEST_F(AboutWindowTest, LinksShowAndOpenTheirAddresses)
{
    EXPECT_EQ(ui().Label2->text(), QStringLiteral("https://albisko.example.org/"));
    EXPECT_EQ(ui().Label7->text(), QStringLiteral("https://albisko.example.org/galerie/"));
    EXPECT_EQ(ui().LbMail->text(), QStringLiteral("albisko@example.org"));
    for (QLabel* link : {ui().Label2, ui().Label7, ui().LbMail}) {
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::blue)) << link->objectName().toStdString();
        EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor) << link->objectName().toStdString();
    }
    for (QLabel* plain : {ui().Label1, ui().Label5, ui().Label6, ui().Label3, ui().Label4})
        EXPECT_NE(plain->cursor().shape(), Qt::PointingHandCursor) << plain->objectName().toStdString();

    form->show();
    QTest::mouseClick(ui().Label2, Qt::LeftButton);
    EXPECT_EQ(dialogs.opened, QStringList{QStringLiteral("https://albisko.example.org/")});
    QTest::mouseClick(ui().Label7, Qt::LeftButton);
    EXPECT_EQ(dialogs.opened.value(1), QStringLiteral("https://albisko.example.org/galerie/"));
    QTest::mouseClick(ui().LbMail, Qt::LeftButton);
    EXPECT_EQ(dialogs.opened.value(2), QStringLiteral("mailto:albisko@example.org"));
    EXPECT_EQ(dialogs.opened.size(), 3);

    // Only a left click on a link opens anything.
    QTest::mouseClick(ui().Label2, Qt::RightButton);
    for (QLabel* plain : {ui().Label1, ui().Label8, ui().Label5, ui().Label6, ui().Label3, ui().Label4, ui().Image1})
        QTest::mouseClick(plain, Qt::LeftButton);
    EXPECT_EQ(dialogs.opened.size(), 3) << dialogs.opened.join(" | ").toStdString();
    EXPECT_TRUE(form->isVisible()) << "a link leaves the window open";
}

TEST_F(AboutWindowTest, OkClosesTheWindow)
{
    form->show();
    QTest::mouseClick(ui().BitBtn1, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Accepted);

    // OK is the default button: Enter closes the window too.
    form->setResult(QDialog::Rejected);
    form->show();
    QApplication::setActiveWindow(form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    QTest::keyClick(form, Qt::Key_Return);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_TRUE(dialogs.opened.isEmpty());
}

TEST_F(AboutWindowTest, IsCentredOnTheMainWindow)
{
    const auto centreDistance = [&] {
        return (form->frameGeometry().center() - owner.frameGeometry().center()).manhattanLength();
    };
    form->show();
    EXPECT_LE(centreDistance(), 1) << "about at " << form->frameGeometry().x() << "," << form->frameGeometry().y();
    form->hide();

    owner.move(40, 60);  // the main window moved meanwhile
    form->show();
    EXPECT_LE(centreDistance(), 1) << "about at " << form->frameGeometry().x() << "," << form->frameGeometry().y();
}

// The version is the project's own (the top CMakeLists.txt), handed to the tests by the build.
TEST(AboutVersion, ReadsTheVersionTheBuildHandsIn)
{
    quint16 major = 9, minor = 9, release = 9, build = 9;
    ASSERT_TRUE(platform::ReadVersion(major, minor, release, build));
    EXPECT_EQ(QStringLiteral("%1.%2.%3.%4").arg(major).arg(minor).arg(release).arg(build),
              QStringLiteral(ALBISKO_TEST_VERSION));
}

TEST(AboutVersion, ReadsFourDecimalNumbers)
{
    struct Case {
        const char* text;
        quint16 numbers[4];
    };
    const Case cases[] = {
        {"1.0.0.3", {1, 0, 0, 3}},
        {"0.0.0.0", {0, 0, 0, 0}},
        {"65535.65535.65535.65535", {65535, 65535, 65535, 65535}},
        {"12.034.5.60", {12, 34, 5, 60}},
    };
    for (const Case& c : cases) {
        quint16 n[4] = {7, 7, 7, 7};
        ASSERT_TRUE(platform::parseVersion(c.text, n[0], n[1], n[2], n[3])) << c.text;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(n[i], c.numbers[i]) << c.text << " number " << i;
    }
}

TEST(AboutVersion, MalformedVersionLeavesTheNumbersAlone)
{
    const char* malformed[] = {
        nullptr, "", "1.0.0", "1.0.0.3.4", "1.0.0.3.", ".1.0.0", "1..0.3", "1.x.0.3", "1.0.0.3a",
        "65536.0.0.0", "70000.0.0.1", "99999.0.0.0", "123456.0.0.0", " 1.0.0.3", "1.0.0.3 ", "1. 0.0.3", "+1.0.0.3",
        "1.-0.0.3", "0x1.0.0.3", "1,0,0,3", "\xd9\xa1.0.0.3" /* an Arabic-Indic one */,
    };
    for (const char* text : malformed) {
        quint16 major = 7, minor = 7, release = 7, build = 7;
        EXPECT_FALSE(platform::parseVersion(text, major, minor, release, build)) << (text ? text : "(none)");
        EXPECT_EQ(major, 7) << (text ? text : "(none)");
        EXPECT_EQ(minor, 7);
        EXPECT_EQ(release, 7);
        EXPECT_EQ(build, 7);
    }
}
