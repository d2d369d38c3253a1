// Files that anyone can put into a photo folder under a photo's name, through the real window:
// each is reported as soon as it is read (its header at once, the rest when its decoding ends), as the first photo, as the next photo decoded ahead, and lying next
// to the photo shown when the window closes. Nothing hangs (a watchdog fails the test program
// after a bound) and nothing takes much memory.
#include "MainWindowFixture.h"

#include "support/JpegWriter.h"
#include "picture/PhotoDecoding.h"

#include <QTest>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Hostile {
    const char* what;
    std::function<void(const QString& path)> make;
    const char* message;  // %1 stands for the path; empty: the file shows as a picture
};

void link(const QString& target, const QString& path)
{
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path).constData()), 0);
}

// A file of `size` bytes that takes no room on disk, starting with `start`.
void sparseFile(const QString& path, const QByteArray& start, qint64 size)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(start), start.size());
    ASSERT_TRUE(file.resize(size));
}

}  // namespace

class HostileFilesTest : public MainWindowTest {
protected:
    QString albumWith(const QString& name, const QStringList& photos, const QString& hostileName, const Hostile& hostile)
    {
        const QString folder = makeAlbum(name, photos);
        hostile.make(folder + u'/' + hostileName);
        return folder;
    }

    void openAgain(const QString& folder)
    {
        if (form->album().state().Modified)
            dialogs.answerQuestion(false);
        open(folder);
    }

    QStringList expected(const Hostile& hostile, const QString& path) const
    {
        return *hostile.message ? QStringList{QString::fromLatin1(hostile.message).arg(path)} : QStringList();
    }
};

TEST_F(HostileFilesTest, SpecialHugeAndBombFilesAreReportedAtOnceWhereverTheyLie)
{
    const QByteArray progressive = writeJpegBytes(64, 48, {3, true, false});
    const QByteArray baseline = writeJpegBytes(64, 48);
    const QString elsewhere = albums.makeFolder(QStringLiteral("elsewhere"));
    const Hostile cases[] = {
        {"a FIFO", [](const QString& p) { ASSERT_EQ(::mkfifo(QFile::encodeName(p).constData(), 0644), 0); },
         "Cannot open file %1."},
        {"a link to /dev/zero", [](const QString& p) { link(QStringLiteral("/dev/zero"), p); }, "Cannot open file %1."},
        {"a link loop", [](const QString& p) { link(p, p); }, "Cannot open file %1."},
        {"a link to a huge sparse JPEG",
         [&](const QString& p) {
             const QString huge = elsewhere + u'/' + QFileInfo(p).path().section(u'/', -1) + QStringLiteral(".jpg");
             sparseFile(huge, baseline.left(4), qint64(8) << 30);
             link(huge, p);
         },
         "JPEG error #41."},
        {"a huge sparse file that is no JPEG", [](const QString& p) { sparseFile(p, QByteArray(), qint64(8) << 30); },
         "JPEG error #41."},
        {"a progressive JPEG claiming 65000 x 65000 pixels",
         [&](const QString& p) { writeBytes(p, withClaimedSize(progressive, 65000, 65000)); }, "JPEG error #41."},
        {"a baseline JPEG claiming 65000 x 65000 pixels",
         [&](const QString& p) { writeBytes(p, withClaimedSize(baseline, 65000, 65000)); }, "JPEG error #41."},
        {"a progressive JPEG claiming 15000 x 15000 pixels (full-size buffers over the memory limit)",
         [&](const QString& p) { writeBytes(p, withClaimedSize(progressive, 15000, 15000)); }, "JPEG error #49."},
        {"a baseline JPEG claiming 15000 x 15000 pixels (shown grey, as far as its data goes)",
         [&](const QString& p) { writeBytes(p, withClaimedSize(baseline, 15000, 15000)); }, ""},
    };
    const Watchdog watchdog(120, "hostile photo files");
    int round = 0;
    for (const Hostile& hostile : cases) {
        SCOPED_TRACE(hostile.what);
        ++round;
        const qint64 rise = peakMemoryRise([&] {
            // As the first photo: Open reports it and the album opens all the same.
            const QString first = albumWith(QStringLiteral("first%1").arg(round), {"a.jpg"}, QStringLiteral("0.jpg"), hostile);
            openAgain(first);
            settle();  // an error past the header comes when its decoding ends
            EXPECT_EQ(takeErrors(), expected(hostile, first + QStringLiteral("/0.jpg")));
            EXPECT_TRUE(form->album().state().AlbumOpen);
            EXPECT_EQ(ui().LabelFoto->text(), QStringLiteral("1/2"));

            // As the next photo, decoded ahead: moving onto it reports it.
            const QString next = albumWith(QStringLiteral("next%1").arg(round), {"a.jpg"}, QStringLiteral("b.jpg"), hostile);
            openAgain(next);
            settle();
            EXPECT_TRUE(takeErrors().isEmpty());
            QTest::mouseClick(ui().BitBtnNext, Qt::LeftButton);
            settle();
            EXPECT_EQ(takeErrors(), expected(hostile, next + QStringLiteral("/b.jpg")));
            EXPECT_EQ(ui().LabelFoto->text(), QStringLiteral("2/2"));
            QTest::mouseClick(ui().BitBtnFirst, Qt::LeftButton);
            EXPECT_TRUE(takeErrors().isEmpty());
        });
        if (rise >= 0) {
            EXPECT_LT(rise, qint64(64) << 20) << "bytes more memory";
        }
    }

    // Decoded only ahead when the window closes: the program ends.
    const QString last = albumWith(QStringLiteral("last"), {"a.jpg"}, QStringLiteral("b.jpg"), cases[0]);
    openAgain(last);
    dialogs.answerQuestion(false);
    EXPECT_TRUE(form->close());
    windows.reset();
}
