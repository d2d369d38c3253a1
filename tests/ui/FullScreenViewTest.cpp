// The photo on the whole screen: opened from the main window, moved through with the keys as
// the navigation buttons move, left with Escape onto the main window's fields of the photo last
// shown.
#include "MainWindowFixture.h"

#include "support/JpegWriter.h"
#include "ui/picture/FullScreenView.h"
#include "picture/PhotoDecoding.h"

#include <QScreen>
#include <QTest>
#include <QWheelEvent>

class FullScreenViewTest : public MainWindowTest {
protected:
    FullScreenView& view() { return form->fullScreenView(); }
    QSize screenSize() const { return form->screen()->geometry().size() * form->screen()->devicePixelRatio(); }
    // A key, and its step's picture decoded and shown.
    void key(int key)
    {
        QTest::keyClick(&view(), Qt::Key(key));
        settle();
    }
};

TEST_F(FullScreenViewTest, KeysMoveAsTheButtonsAndEscapeReturnsToThePhotoLastShown)
{
    const QString folder = albums.makeFolder(QStringLiteral("Tatry"));
    writeJpeg(folder + QStringLiteral("/a.jpg"), 640, 480, Qt::red);
    // Stored landscape, to be turned a quarter: shown upright, fitted to the screen's height.
    writeBytes(folder + QStringLiteral("/b.jpg"), withOrientation(writeJpegBytes(600, 200), 6));
    writeBytes(folder + QStringLiteral("/c.jpg"), "no picture at all");
    writeBytes(folder + QStringLiteral("/info.txt"), "[a]\r\ntitle=Chata\r\n[b]\r\ntitle=Most\r\n[c]\r\ntitle=Les\r\n");
    open(folder);
    auto& u = ui();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));

    QTest::keyClick(u.EditFTitle, Qt::Key_F11);  // a window command, also from a field
    settle();
    ASSERT_TRUE(view().isVisible());
    EXPECT_TRUE(view().isFullScreen());
    EXPECT_EQ(view().shownRow(), 0);
    EXPECT_EQ(view().picture().size(), picture::fitInto(640, 480, screenSize()));
    const QImage& shown = view().picture();
    const QColor lowerRight = shown.pixelColor(shown.width() * 3 / 4, shown.height() * 3 / 4);
    EXPECT_GT(lowerRight.red(), 200);
    EXPECT_LT(lowerRight.green(), 60);
    EXPECT_EQ(view().caption(), QStringLiteral("1 / 3   a.jpg"));

    key(Qt::Key_PageDown);
    EXPECT_EQ(view().shownRow(), 1);
    EXPECT_EQ(view().picture().size(), picture::fitInto(200, 600, screenSize()));
    EXPECT_EQ(view().picture().height(), screenSize().height());
    EXPECT_EQ(u.LabelFoto->text(), QStringLiteral("2/3")) << "the main window follows every step";
    EXPECT_EQ(u.EditFTitle->text(), QStringLiteral("Most"));

    // A photo that cannot be shown: reported once, by the main window's step, and left on the
    // screen as the view's own Czech text naming the error.
    key(Qt::Key_Right);
    EXPECT_EQ(takeErrors(), QStringList{QStringLiteral("JPEG error #53.")});
    EXPECT_EQ(view().shownRow(), 2);
    EXPECT_TRUE(view().picture().isNull());
    EXPECT_EQ(view().message(), QStringLiteral("Fotku nelze zobrazit (JPEG error #53)"));

    key(Qt::Key_PageDown);  // past the last photo: the button is disabled
    EXPECT_EQ(dialogs.beeps, 1);
    EXPECT_EQ(form->album().state().CurrentRow, 2);

    key(Qt::Key_Home);
    EXPECT_EQ(view().shownRow(), 0);
    EXPECT_TRUE(view().message().isEmpty());
    key(Qt::Key_PageDown);
    key(Qt::Key_PageUp);
    key(Qt::Key_Down);
    EXPECT_EQ(view().shownRow(), 1);

    key(Qt::Key_Escape);
    EXPECT_FALSE(view().isVisible());
    EXPECT_EQ(u.LabelFoto->text(), QStringLiteral("2/3"));
    EXPECT_EQ(u.EditFTitle->text(), QStringLiteral("Most"));
    EXPECT_EQ(u.EditFName->text(), QStringLiteral("b"));
    // What is typed now goes to the photo last shown.
    typeText(u.EditFTitle, QStringLiteral(" přes řeku"));
    EXPECT_EQ(form->album().table().Get(album::Field::Title, 1), QStringLiteral("Most přes řeku"));
}

TEST_F(FullScreenViewTest, ADoubleClickOnThePreviewOpensItAndWithoutAnAlbumItIsDisabled)
{
    form->show();
    EXPECT_FALSE(view().action()->isEnabled()) << "as the other album commands";
    QTest::keyClick(ui().EditFTitle, Qt::Key_F11);
    QTest::mouseDClick(ui().Image1, Qt::LeftButton);
    EXPECT_FALSE(view().isVisible());
    EXPECT_EQ(dialogs.beeps, 1) << "the double click beeps";

    open(makeAlbum(QStringLiteral("Fatra"), {"a.jpg", "b.jpg"}));
    EXPECT_TRUE(view().action()->isEnabled());
    QTest::mouseDClick(ui().Image1, Qt::LeftButton);
    ASSERT_TRUE(view().isVisible());
    EXPECT_EQ(view().shownRow(), 0);
    // The neighbour is decoded ahead at the screen's size: the next step decodes nothing more.
    form->pictures().waitForAll();
    const int decodes = form->pictures().decodeCount();
    key(Qt::Key_PageDown);
    EXPECT_EQ(view().shownRow(), 1);
    EXPECT_EQ(form->pictures().decodeCount(), decodes);
    EXPECT_EQ(view().picture().size(), picture::fitInto(64, 48, screenSize()));

    // The wheel: a notch a step; a touchpad's half notches add up to one.
    const auto turn = [this](int angle) {
        QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&view(), &wheel);
    };
    turn(120);
    EXPECT_EQ(view().shownRow(), 0);
    turn(-60);
    EXPECT_EQ(view().shownRow(), 0);
    turn(-60);
    EXPECT_EQ(view().shownRow(), 1);

    QTest::mouseDClick(&view(), Qt::LeftButton);
    EXPECT_FALSE(view().isVisible());
    EXPECT_EQ(ui().LabelFoto->text(), QStringLiteral("2/2"));
}
