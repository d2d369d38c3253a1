#include "support/Fixtures.h"
#include "ui/picture/PreviewPrefetch.h"

#include <QFileInfo>
#include <gtest/gtest.h>

#include <algorithm>

TEST(PreviewPrefetch, HandsOutAFinishedPictureWhileItsFileIsUnchanged)
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
    EXPECT_TRUE(prefetch.take(photo).has_value()) << "kept: moving back shows it without decoding it again";
    EXPECT_EQ(prefetch.decodeCount(), 1);
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

TEST(PreviewPrefetch, AFileReplacedByAnotherOfTheSameSizeAndTimeIsDecodedAgain)
{
    // Two pictures padded to one size (bytes after the end of a JPEG are never read), both dated
    // alike: only the file's identity and its change time tell them apart.
    TempFolder dir;
    const QString photo = dir.file(QStringLiteral("a.jpg"));
    const QString other = dir.file(QStringLiteral("other"));
    writeJpeg(photo, 800, 600, Qt::darkGreen);
    writeJpeg(other, 800, 600, Qt::red);
    QByteArray first = readBytes(photo);
    QByteArray second = readBytes(other);
    const qsizetype size = std::max(first.size(), second.size());
    first.append(size - first.size(), '\0');
    second.append(size - second.size(), '\0');
    const QDateTime when(QDate(2004, 1, 15), QTime(12, 0));
    for (const bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace ? "rewritten in place" : "renamed over it");
        writeBytes(photo, first);
        setModificationTime(photo, when);
        ui::PreviewPrefetch prefetch;
        prefetch.prefetch({photo});
        prefetch.waitForAll();
        const QString target = inPlace ? photo : other;
        writeBytes(target, second);
        setModificationTime(target, when);
        if (!inPlace) {
            QFile::remove(photo);
            ASSERT_TRUE(QFile::rename(other, photo));
        }
        ASSERT_EQ(QFileInfo(photo).size(), size);
        ASSERT_EQ(QFileInfo(photo).lastModified(), when);
        EXPECT_FALSE(prefetch.take(photo).has_value());
    }
}
