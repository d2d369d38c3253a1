// The one decoder of every picture shown: what it hands out (only while the file is unchanged),
// in what order it decodes, what it stops, and one decoding shared by views of several sizes.
#include "picture/PictureService.h"

#include "support/Fixtures.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>

using picture::PictureService;

namespace {

// A client that only looks ahead, as a view does for the neighbours of the photo it shows.
int lookingAhead(PictureService& service, const QStringList& paths)
{
    const int client = service.addClient();
    service.want(client, QString(), picture::previewPanelSize, paths);
    return client;
}

picture::PictureSizeFor fitInto(QSize area)
{
    return [area](int width, int height) { return picture::fitInto(width, height, area); };
}

}  // namespace

TEST(PictureService, HandsOutAFinishedPictureWhileItsFileIsUnchanged)
{
    TempFolder dir;
    const QString photo = dir.file(QStringLiteral("a.jpg"));
    writeJpeg(photo, 1500, 1000);
    PictureService service;
    lookingAhead(service, {photo});
    service.waitForAll();
    const auto picture = service.find(photo, picture::previewPanelSize);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->width, 1500);
    EXPECT_EQ(picture->height, 1000);
    EXPECT_EQ(picture->image.size(), QSize(400, 266));
    EXPECT_TRUE(service.find(photo, picture::previewPanelSize).has_value()) << "kept: moving back shows it without decoding it again";
    EXPECT_EQ(service.decodeCount(), 1);
    EXPECT_FALSE(service.find(dir.file(QStringLiteral("never.jpg")), picture::previewPanelSize).has_value());
    EXPECT_FALSE(service.find(photo, fitInto({1920, 1080})).has_value()) << "a larger size is not made up";
}

TEST(PictureService, ChangedFilesAndFailuresAreNeverHandedOut)
{
    TempFolder dir;
    const QString changed = dir.file(QStringLiteral("changed.jpg"));
    const QString damaged = dir.file(QStringLiteral("damaged.jpg"));
    const QString gone = dir.file(QStringLiteral("gone.jpg"));
    writeJpeg(changed, 800, 600);
    writeBytes(damaged, "not a jpeg");
    writeJpeg(gone, 800, 600);
    PictureService service;
    QSignalSpy failures(&service, &PictureService::failed);
    lookingAhead(service, {changed, damaged, gone});
    service.waitForAll();
    EXPECT_EQ(failures.count(), 0) << "a photo decoded ahead reports its error only when shown";

    writeJpeg(changed, 800, 600, Qt::red);
    setModificationTime(changed, QDateTime::currentDateTime().addSecs(120));
    QFile::remove(gone);
    EXPECT_FALSE(service.find(changed, picture::previewPanelSize).has_value());
    EXPECT_FALSE(service.find(damaged, picture::previewPanelSize).has_value());
    EXPECT_FALSE(service.find(gone, picture::previewPanelSize).has_value());

    // Shown now, the damaged photo is decoded again and its error told.
    service.want(service.addClient(), damaged, picture::previewPanelSize);
    service.waitForAll();
    ASSERT_EQ(failures.count(), 1);
    EXPECT_EQ(failures[0][1].toString(), QStringLiteral("JPEG error #53"));
}

TEST(PictureService, AFileReplacedByAnotherOfTheSameSizeAndTimeIsDecodedAgain)
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
        PictureService service;
        lookingAhead(service, {photo});
        service.waitForAll();
        const QString target = inPlace ? photo : other;
        writeBytes(target, second);
        setModificationTime(target, when);
        if (!inPlace) {
            QFile::remove(photo);
            ASSERT_TRUE(QFile::rename(other, photo));
        }
        ASSERT_EQ(QFileInfo(photo).size(), size);
        ASSERT_EQ(QFileInfo(photo).lastModified(), when);
        EXPECT_FALSE(service.find(photo, picture::previewPanelSize).has_value());
    }
}

TEST(PictureService, TheWantedPhotoGoesFirstAndWhatNobodyWantsIsStopped)
{
    TempFolder dir;
    QStringList photos;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"}) {
        photos << dir.file(QString::fromLatin1(name));
        writeJpeg(photos.back(), 3000, 2000);
    }
    PictureService service;
    QSignalSpy started(&service, &PictureService::started);
    const int preview = service.addClient();
    // Neighbours first in the list, the photo shown named after them: the photo still goes first.
    service.want(preview, photos[2], picture::previewPanelSize, {photos[3], photos[1]});
    service.waitForAll();
    ASSERT_EQ(started.count(), 3);
    EXPECT_EQ(started[0][0].toString(), photos[2]);
    EXPECT_EQ(started[1][0].toString(), photos[3]);
    EXPECT_EQ(started[2][0].toString(), photos[1]);

    // Far away from all of them: the photo shown is decoding when the user moves on again; it is
    // stopped, never finished, and never handed out.
    started.clear();
    const int decodes = service.decodeCount();
    service.want(preview, photos[0], picture::previewPanelSize, {photos[1]});
    QTRY_COMPARE(started.count(), 1);
    service.want(preview, photos[4], picture::previewPanelSize, {photos[3]});
    service.waitForAll();
    EXPECT_EQ(started[0][0].toString(), photos[0]);
    EXPECT_EQ(started[1][0].toString(), photos[4]);
    EXPECT_FALSE(service.find(photos[0], picture::previewPanelSize).has_value());
    EXPECT_EQ(service.decodeCount() - decodes, 1) << "photos[4] only: photos[3] is kept from before";
}

TEST(PictureService, ViewsOfSeveralSizesShareOneDecodingWithinOneBudget)
{
    TempFolder dir;
    const QString photo = dir.file(QStringLiteral("a.jpg"));
    writeJpeg(photo, 3000, 2000);
    PictureService service(qint64(24) << 20);
    QSignalSpy decoded(&service, &PictureService::decoded);
    const int preview = service.addClient();
    const int screen = service.addClient();
    const int window = service.addClient();
    service.want(preview, photo, picture::previewPanelSize);
    service.want(screen, photo, fitInto({1920, 1080}));
    service.want(window, photo, fitInto({800, 600}));
    service.waitForAll();
    EXPECT_EQ(service.decodeCount(), 1);
    EXPECT_EQ(decoded.count(), 1);
    EXPECT_EQ(service.find(photo, picture::previewPanelSize)->image.size(), QSize(400, 266));
    EXPECT_EQ(service.find(photo, fitInto({1920, 1080}))->image.size(), QSize(1620, 1080));
    EXPECT_EQ(service.find(photo, fitInto({800, 600}))->image.size(), QSize(800, 533));
    // A smaller size is made from what is kept, without decoding.
    EXPECT_EQ(service.find(photo, fitInto({300, 300}))->image.size(), QSize(300, 200));
    EXPECT_EQ(service.decodeCount(), 1);

    // Many photos later the kept pictures stay within the budget.
    for (int i = 0; i < 6; ++i) {
        const QString next = dir.file(QStringLiteral("n%1.jpg").arg(i));
        writeJpeg(next, 3000, 2000);
        service.want(screen, next, fitInto({1920, 1080}));
        service.waitForAll();
        EXPECT_LE(service.keptBytes(), qint64(24) << 20);
    }
    EXPECT_TRUE(service.find(dir.file(QStringLiteral("n5.jpg")), fitInto({1920, 1080})).has_value());
}
