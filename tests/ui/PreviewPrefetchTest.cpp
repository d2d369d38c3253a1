#include "support/Fixtures.h"
#include "ui/PreviewPrefetch.h"

#include <gtest/gtest.h>

TEST(PreviewPrefetch, HandsOutAFinishedPictureOnceForItsUnchangedFile)
{
    TempFolder dir;
    const QString photo = dir.file(QStringLiteral("a.jpg"));
    writeJpeg(photo, 1500, 1000);
    ui::PreviewPrefetch prefetch;
    prefetch.prefetch({photo});
    prefetch.waitForAll();
    EXPECT_TRUE(prefetch.isFinished(photo));
    const auto picture = prefetch.take(photo);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->width, 1500);
    EXPECT_EQ(picture->height, 1000);
    EXPECT_EQ(picture->image.size(), QSize(400, 266));
    EXPECT_FALSE(prefetch.take(photo).has_value()) << "handed out once";
    EXPECT_FALSE(prefetch.take(dir.file(QStringLiteral("never.jpg"))).has_value());
}

TEST(PreviewPrefetch, ChangedFilesAndFailuresAreNeverHandedOut)
{
    TempFolder dir;
    const QString changed = dir.file(QStringLiteral("changed.jpg"));
    const QString damaged = dir.file(QStringLiteral("damaged.jpg"));
    const QString gone = dir.file(QStringLiteral("gone.jpg"));
    writeJpeg(changed, 800, 600);
    writeBytes(damaged, "not a jpeg");
    writeJpeg(gone, 800, 600);
    ui::PreviewPrefetch prefetch;
    prefetch.prefetch({changed, damaged, gone});
    prefetch.waitForAll();

    writeJpeg(changed, 800, 600, Qt::red);
    setModificationTime(changed, QDateTime::currentDateTime().addSecs(120));
    QFile::remove(gone);
    EXPECT_FALSE(prefetch.take(changed).has_value());
    EXPECT_FALSE(prefetch.take(damaged).has_value());
    EXPECT_FALSE(prefetch.take(gone).has_value());
}

TEST(PreviewPrefetch, ForgetsPhotosNoLongerNeighbours)
{
    TempFolder dir;
    const QString a = dir.file(QStringLiteral("a.jpg"));
    const QString b = dir.file(QStringLiteral("b.jpg"));
    writeJpeg(a, 320, 240);
    writeJpeg(b, 320, 240);
    ui::PreviewPrefetch prefetch;
    prefetch.prefetch({a, b});
    prefetch.prefetch({b});
    prefetch.waitForAll();
    EXPECT_FALSE(prefetch.take(a).has_value());
    EXPECT_TRUE(prefetch.take(b).has_value());
}
