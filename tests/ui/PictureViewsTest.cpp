// The views of the photo, all served by the one picture service, through the real windows: the
// EXIF thumbnail at once and the decoded photo after it, the big preview following every step,
// one decoding per photo with every view open, and clicks in a burst.
#include "MainWindowFixture.h"

#include "support/JpegWriter.h"
#include "ui/picture/BigPreview.h"
#include "ui/picture/FullScreenView.h"
#include "picture/PhotoDecoding.h"

#include <QBuffer>
#include <QSignalSpy>
#include <QTest>

namespace {

// True when the centre of `image` is close to `colour`.
bool centreIs(const QImage& image, QColor colour)
{
    if (image.isNull())
        return false;
    return nearColour(image.pixelColor(image.width() / 2, image.height() / 2), colour);
}

const QColor Red(220, 0, 0);
const QColor Blue(0, 0, 220);

}  // namespace

class PictureViewsTest : public MainWindowTest {
protected:
    QImage previewImage() { return ui().Image1->pixmap().toImage(); }
    BigPreview& big() { return form->bigPreview(); }
};

TEST_F(PictureViewsTest, AStepShowsTheThumbnailAtOnceAndTheDecodedPhotoWhenReady)
{
    const struct {
        const char* name;
        QByteArray bytes;
        QSize panel;
        bool thumbnail;
        const char* hint;
    } cases[] = {
        {"b_thumb.jpg", withExifThumbnail(solidJpeg(1600, 1200, Red), solidJpeg(160, 120, Blue)), {400, 300}, true,
         "b_thumb.jpg (1600 x 1200)"},
        {"c_turned.jpg", withExifThumbnail(solidJpeg(1600, 1200, Red), solidJpeg(160, 120, Blue), 6), {225, 300}, true,
         "c_turned.jpg (1200 x 1600)"},
        {"d_none.jpg", solidJpeg(1500, 1000, Red), {400, 266}, false, "d_none.jpg (1500 x 1000)"},
    };
    const QString folder = albums.makeFolder(QStringLiteral("Nahledy"));
    writeBytes(folder + QStringLiteral("/a.jpg"), solidJpeg(64, 48, Qt::green));
    for (const auto& c : cases)
        writeBytes(folder + u'/' + QString::fromLatin1(c.name), c.bytes);
    open(folder);
    auto& u = ui();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        form->pictures().waitForAll();
        form->pictures().forget();  // a cold step: nothing decoded ahead
        QTest::mouseClick(u.BitBtnNext, Qt::LeftButton);
        // At once: the panel and hint of this photo, and its thumbnail or nothing, never the last photo.
        EXPECT_EQ(u.Panel1->size(), c.panel);
        EXPECT_EQ(u.Image1->toolTip(), folder + u'/' + QString::fromLatin1(c.hint));
        EXPECT_EQ(u.Image1->isHidden(), !c.thumbnail);
        if (c.thumbnail) {
            EXPECT_EQ(previewImage().size(), c.panel);
            EXPECT_TRUE(centreIs(previewImage(), Blue));
        }
        settle();
        EXPECT_FALSE(u.Image1->isHidden());
        EXPECT_EQ(previewImage().size(), c.panel);
        EXPECT_TRUE(centreIs(previewImage(), Red)) << "the decoded photo replaced the thumbnail";
    }
}

TEST_F(PictureViewsTest, TheBigPreviewFollowsEveryViewAndEachPhotoIsDecodedOnce)
{
    const QString folder = albums.makeFolder(QStringLiteral("Velky"));
    const QColor colours[] = {Red, Qt::green, Blue, Qt::yellow};
    for (int i = 0; i < 4; ++i)
        writeBytes(folder + QStringLiteral("/%1.jpg").arg(i), solidJpeg(1200, 900, colours[i]));
    open(folder);
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form));
    settle();
    form->pictures().forget();
    const int decodesBefore = form->pictures().decodeCount();
    QTest::keyClick(ui().EditFTitle, Qt::Key_F10);
    ASSERT_TRUE(big().isVisible());
    EXPECT_TRUE(big().action()->isChecked());
    form->fullScreenView().action()->trigger();
    settle();
    const auto showsRow = [&](int row) {
        EXPECT_EQ(big().shownRow(), row);
        EXPECT_TRUE(centreIs(big().picture(), colours[row]));
        EXPECT_EQ(big().picture().size(), picture::fitInto(1200, 900, big().size() * big().devicePixelRatioF()));
    };
    showsRow(0);
    for (int row = 1; row < 4; ++row) {
        QTest::keyClick(&form->fullScreenView(), Qt::Key_PageDown);
        settle();
        EXPECT_EQ(form->fullScreenView().shownRow(), row);
        EXPECT_TRUE(centreIs(form->fullScreenView().picture(), colours[row]));
        showsRow(row);
    }
    QTest::keyClick(&form->fullScreenView(), Qt::Key_Escape);
    settle();
    EXPECT_TRUE(centreIs(previewImage(), colours[3])) << "the preview, hidden meanwhile, shows the photo";
    EXPECT_EQ(form->pictures().decodeCount() - decodesBefore, 4) << "one decoding per photo for all three views";

    // The main window's own steps, while typing goes on there.
    QTest::mouseClick(ui().BitBtnFirst, Qt::LeftButton);
    settle();
    showsRow(0);
    EXPECT_FALSE(big().isActiveWindow());

    // Resized: the picture follows the window's size.
    big().resize(500, 300);
    QTRY_COMPARE(big().picture().size(), picture::fitInto(1200, 900, QSize(500, 300) * big().devicePixelRatioF()));

    // F10 again hides it; its place is written with the settings from now on.
    big().action()->trigger();
    EXPECT_FALSE(big().isVisible());
    EXPECT_FALSE(big().action()->isChecked());
    windows->form3->saveSettings();
    const QByteArray ini = readBytes(work.file(QStringLiteral("albisko.ini")));
    EXPECT_TRUE(ini.contains("[bigpreview]\r\n") || ini.contains("[bigpreview]\n")) << ini.toStdString();
    EXPECT_TRUE(ini.contains("Width=500")) << ini.toStdString();
}

TEST_F(PictureViewsTest, TheBigPreviewOpensWhereItWasAndSettingsWithoutItStayAsTheyWere)
{
    windows->form3->saveSettings();
    EXPECT_FALSE(readBytes(work.file(QStringLiteral("albisko.ini"))).contains("bigpreview"));

    open(makeAlbum(QStringLiteral("Misto"), {"a.jpg"}));
    form->album().state().BigPreviewPlace = QRect(40, 30, 360, 250);  // as the settings file had it
    big().action()->trigger();
    ASSERT_TRUE(big().isVisible());
    EXPECT_EQ(big().size(), QSize(360, 250));
    big().action()->trigger();
}

TEST_F(PictureViewsTest, AJumpDecodesTheWantedPhotoFirstAndClicksInABurstEachCount)
{
    const QString folder = albums.makeFolder(QStringLiteral("Skoky"));
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg", "f.jpg", "g.jpg", "h.jpg"})
        writeJpeg(folder + u'/' + QString::fromLatin1(name), 3000, 2000);
    open(folder);
    settle();
    QSignalSpy started(&form->pictures(), &picture::PictureService::started);
    QTest::mouseClick(ui().BitBtnLast, Qt::LeftButton);
    settle();
    ASSERT_GE(started.count(), 2);
    EXPECT_EQ(started[0][0].toString(), folder + QStringLiteral("/h.jpg")) << "the photo shown before its neighbour";
    EXPECT_EQ(started[1][0].toString(), folder + QStringLiteral("/g.jpg"));

    // Five clicks, each handled before the next but faster than a photo decodes: every click
    // moves, and the photos passed over are stopped, not decoded to the end.
    QTest::mouseClick(ui().BitBtnFirst, Qt::LeftButton);
    settle();
    const int decodes = form->pictures().decodeCount();
    for (int i = 0; i < 5; ++i) {
        QTest::mouseClick(ui().BitBtnNext, Qt::LeftButton);
        QCoreApplication::processEvents();  // the step's decoding begins
    }
    EXPECT_EQ(ui().LabelFoto->text(), QStringLiteral("6/8"));
    settle();
    EXPECT_EQ(ui().Image1->toolTip(), folder + QStringLiteral("/f.jpg (3000 x 2000)"));
    EXPECT_FALSE(ui().Image1->isHidden());
    EXPECT_LE(form->pictures().decodeCount() - decodes, 3) << "f and its neighbours e and g, none passed over";

    // A folder without photos opened while the photo shown decodes: the empty window stays empty.
    form->pictures().forget();
    QTest::mouseClick(ui().BitBtnPrevious, Qt::LeftButton);
    if (form->album().state().Modified)
        dialogs.answerQuestion(false);  // "Uložit?" No
    open(albums.makeFolder(QStringLiteral("Prazdna")));
    ASSERT_FALSE(form->album().state().AlbumOpen);
    settle();
    EXPECT_TRUE(ui().Image1->isHidden());
    EXPECT_EQ(ui().Panel1->text(), QStringLiteral("Není obrázek"));
}
