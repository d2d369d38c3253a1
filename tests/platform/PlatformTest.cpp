#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;

TEST(IntegerText, AcceptsBlanksSignAndDigitsOnly)
{
    EXPECT_EQ(strToInt(QStringLiteral("42")), 42);
    EXPECT_EQ(strToInt(QStringLiteral("  -7")), -7);
    EXPECT_EQ(strToInt(QStringLiteral("+15")), 15);
    EXPECT_EQ(strToInt(QStringLiteral("-2147483648")), -2147483647 - 1);
    for (const char* bad : {"", " ", "-", "12 ", "1.5", "1,5", "abc", "0x10", "2147483648", "99999999999999999999"}) {
        int value = 123;
        EXPECT_FALSE(tryStrToInt(QString::fromLatin1(bad), value)) << bad;
        EXPECT_EQ(value, 123) << "left untouched on failure: " << bad;
    }
}

TEST(IntegerText, ConversionErrorNamesTheText)
{
    try {
        strToInt(QStringLiteral("pět"));
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("'pět' is not a valid integer value"));
    }
}

TEST(ErrorBox, AppendsPeriodUnlessLastCharacterIsAtMostPeriod)
{
    EXPECT_EQ(errorBoxText(QStringLiteral("Cannot open file /a/b.jpg")), QStringLiteral("Cannot open file /a/b.jpg."));
    EXPECT_EQ(errorBoxText(QStringLiteral("Hotovo.")), QStringLiteral("Hotovo."));
    EXPECT_EQ(errorBoxText(QStringLiteral("Pozor!")), QStringLiteral("Pozor!"));
    EXPECT_EQ(errorBoxText(QStringLiteral("(0 x 0)")), QStringLiteral("(0 x 0)"));
    EXPECT_EQ(errorBoxText(QStringLiteral("konec ")), QStringLiteral("konec "));
    EXPECT_EQ(errorBoxText(QStringLiteral("a-")), QStringLiteral("a-"));           // "-" comes before "."
    EXPECT_EQ(errorBoxText(QStringLiteral("a/")), QStringLiteral("a/."));          // "/" comes after "."
    EXPECT_EQ(errorBoxText(QStringLiteral("žluťoučký kůň")), QStringLiteral("žluťoučký kůň."));
    EXPECT_EQ(errorBoxText(QString()), QString());
}

TEST(FolderListing, MatchesExtensionWithoutCaseIncludingHiddenAndFolders)
{
    TempFolder dir;
    for (const char* name : {"b.JPG", ".hidden.jpg", "a.jpg", "c.jpeg", "d.jpg.txt", "e.Jpg"})
        writeBytes(dir.file(QString::fromLatin1(name)), "x");
    dir.makeFolder(QStringLiteral("folder.jpg"));
    dir.makeFolder(QStringLiteral("other"));

    QStringList names;
    for (const auto& entry : listFolder(dir.path(), QStringLiteral(".jpg")))
        names << entry.name;
    EXPECT_EQ(names, (QStringList{".hidden.jpg", "a.jpg", "b.JPG", "e.Jpg", "folder.jpg"}));
}

TEST(FolderListing, SortsByUpperCaseNameSoUnderscoreFollowsLetters)
{
    // Code unit by code unit of the upper-case names, also beyond their first dozen units and
    // beyond ASCII; names alike in upper case in the order of their own units.
    TempFolder dir;
    const char* const names[]{"_x.jpg", "Zeta.jpg", "alfa.jpg", "tn_a.jpg", "TN_b.jpg",
                                 "Beta.jpg", "1.jpg", "IMG_20240101_2.jpg", "IMG_20240101_10.jpg",
                                 "IMG_20240101.jpg", "Čáp2.jpg", "čáp.jpg", "ALFA.jpg"};
    for (const char* name : names)
        writeBytes(dir.file(QString::fromUtf8(name)), "x");
    QStringList listed;
    for (const auto& entry : listFolder(dir.path(), QStringLiteral(".jpg")))
        listed << entry.name;
    EXPECT_EQ(listed, (QStringList{"1.jpg", "ALFA.jpg", "alfa.jpg", "Beta.jpg", "IMG_20240101.jpg",
                                   "IMG_20240101_10.jpg", "IMG_20240101_2.jpg", "tn_a.jpg", "TN_b.jpg",
                                   "Zeta.jpg", "_x.jpg", "čáp.jpg", "Čáp2.jpg"}));
}

TEST(FolderListing, UnlistableOrMissingFolderYieldsNothing)
{
    TempFolder dir;
    EXPECT_TRUE(listFolder(dir.file(QStringLiteral("gone")), QStringLiteral(".jpg")).isEmpty());
    writeBytes(dir.file(QStringLiteral("file.jpg")), "x");
    EXPECT_TRUE(listFolder(dir.file(QStringLiteral("file.jpg")), QStringLiteral(".jpg")).isEmpty());
}

TEST(FileExistence, RegularFilesOnlyWhateverTheirTime)
{
    TempFolder dir;
    const QString file = dir.file(QStringLiteral("info.txt"));
    writeBytes(file, "[head]\r\n");
    EXPECT_TRUE(fileExists(file));
    setModificationTime(file, QDateTime(QDate(1975, 3, 1), QTime(12, 0)));
    EXPECT_TRUE(fileExists(file)) << "a file from before 1980 still exists";
    setModificationTime(file, QDateTime(QDate(2150, 3, 1), QTime(12, 0)));
    EXPECT_TRUE(fileExists(file)) << "a file from after 2107 still exists";

    const QString folder = dir.makeFolder(QStringLiteral("sub.txt"));
    EXPECT_FALSE(fileExists(folder));
    EXPECT_TRUE(folderExists(folder));
    EXPECT_FALSE(folderExists(file));
    EXPECT_FALSE(fileExists(dir.file(QStringLiteral("missing"))));
    EXPECT_FALSE(fileExists(QString()));

    const QString link = dir.file(QStringLiteral("link.txt"));
    ASSERT_TRUE(QFile::link(file, link));
    EXPECT_TRUE(fileExists(link));
}

TEST(FileExistence, DeleteRemovesFileAndReportsFailure)
{
    TempFolder dir;
    const QString file = dir.file(QStringLiteral("~info.txt"));
    writeBytes(file, "x");
    EXPECT_TRUE(deleteFile(file));
    EXPECT_FALSE(fileExists(file));
    EXPECT_FALSE(deleteFile(file));
}

TEST(Paths, JoinAndFolderName)
{
    EXPECT_EQ(joinPath(QStringLiteral("/foto/Tatry"), QStringLiteral("info.txt")), QStringLiteral("/foto/Tatry/info.txt"));
    EXPECT_EQ(joinPath(QString(), QStringLiteral("info.txt")), QStringLiteral("/info.txt"));
    EXPECT_EQ(joinPath(QStringLiteral("/"), QStringLiteral("a.jpg")), QStringLiteral("/a.jpg"));
    EXPECT_EQ(folderName(QStringLiteral("/foto/Tatry 2004")), QStringLiteral("Tatry 2004"));
    EXPECT_EQ(folderName(QStringLiteral("/")), QString());
    EXPECT_EQ(folderName(QStringLiteral("Tatry")), QStringLiteral("Tatry"));
    EXPECT_TRUE(tempFolder().endsWith(u'/'));
    EXPECT_EQ(workingFolder(), QDir::currentPath());
}

TEST(ShortDate, DayMonthYearWithoutLeadingZeros)
{
    EXPECT_EQ(shortDate(QDateTime(QDate(2004, 1, 15), QTime(10, 0))), QStringLiteral("15.1.2004"));
    EXPECT_EQ(shortDate(QDateTime(QDate(2026, 12, 8), QTime(23, 59))), QStringLiteral("8.12.2026"));
    EXPECT_EQ(shortDate(QDateTime(QDate(1970, 1, 1), QTime(0, 0))), QStringLiteral("1.1.1970"));
    EXPECT_EQ(shortDate(QDateTime(QDate(2200, 7, 4), QTime(0, 0))), QStringLiteral("4.7.2200"));
}

TEST(FolderListing, ALinkThatLeadsNowhereIsDatedByTheLinkItself)
{
    TempFolder dir;
    const QByteArray broken = QFile::encodeName(dir.file(QStringLiteral("broken.jpg")));
    const QByteArray loop = QFile::encodeName(dir.file(QStringLiteral("loop.jpg")));
    ASSERT_EQ(::symlink("missing.jpg", broken.constData()), 0);
    ASSERT_EQ(::symlink("loop.jpg", loop.constData()), 0);
    const QDateTime when(QDate(2004, 1, 15), QTime(12, 0));
    const timespec times[2] = {{when.toSecsSinceEpoch(), 0}, {when.toSecsSinceEpoch(), 0}};
    for (const QByteArray& link : {broken, loop})
        ASSERT_EQ(::utimensat(AT_FDCWD, link.constData(), times, AT_SYMLINK_NOFOLLOW), 0);
    const auto entries = listFolder(dir.path(), QStringLiteral(".jpg"));
    ASSERT_EQ(entries.size(), 2);
    for (const FolderEntry& entry : entries)
        EXPECT_EQ(shortDate(entry.modified), QStringLiteral("15.1.2004")) << entry.name.toStdString();
}

TEST(ErrorText, AMessageKeepsEverythingANulFromAFileIsFollowedBy)
{
    try {
        strToInt(QStringLiteral("8") + QChar(0) + QStringLiteral("00"));
        FAIL() << "no error";
    } catch (const Error& e) {
        const std::exception& plain = e;
        EXPECT_EQ(messageOf(plain), QStringLiteral("'8") + QChar(0) + QStringLiteral("00' is not a valid integer value"));
    }
}

TEST(ReplaceFile, AWriterKilledAtAnyMomentLeavesTheOldOrTheNewFileWholeAndItsLeftoversGo)
{
    // A child replaces the file over and over with one of two contents and is killed at random
    // moments; each time the file must be one of them, whole. What the kills leave beside it
    // is removed by the next run's first replace, and nothing else is.
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    const QByteArray first(300000, 'a');
    const QByteArray second = QByteArray(200000, 'b') + "\r\n";
    ASSERT_TRUE(replaceFile(dir.file(QStringLiteral("warm-up")), "x"));  // the parent's own first run is elsewhere
    writeBytes(path, first);
    for (int round = 0; round < 30; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 0;; ++i)
                replaceFile(path, i % 2 ? first : second);
        }
        ::usleep(useconds_t(500 + (round * 7919) % 20000));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        const QByteArray now = readBytes(path);
        ASSERT_TRUE(now == first || now == second) << "round " << round << ": " << now.size() << " bytes";
    }

    const QStringList others{QStringLiteral("info.txt.backup"), QStringLiteral("info.txt.bak"),
                             QStringLiteral("info.txt.AbCdEfG"), QStringLiteral("~info.txt.AbCdEf"),
                             QStringLiteral("info.txt.Ab-dEf")};
    for (const QString& name : others)
        writeBytes(dir.file(name), "someone else's");
    writeBytes(dir.file(QStringLiteral("info.txt.QmZxRt")), "left by an older version");
    ASSERT_TRUE(replaceFile(path, "[head]\r\n"));
    QStringList expected = others + QStringList{QStringLiteral("info.txt"), QStringLiteral("warm-up")};
    expected.sort();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), expected);
    EXPECT_EQ(readBytes(path), QByteArray("[head]\r\n"));
}

TEST(ReplaceFile, KeepsTheOldPermissionsAndFollowsALink)
{
    TempFolder dir;
    const QString target = dir.file(QStringLiteral("real.txt"));
    writeBytes(target, "old");
    ASSERT_TRUE(QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::link(target, dir.file(QStringLiteral("info.txt"))));
    ASSERT_TRUE(replaceFile(dir.file(QStringLiteral("info.txt")), "new"));
    EXPECT_TRUE(QFileInfo(dir.file(QStringLiteral("info.txt"))).isSymLink());
    EXPECT_EQ(readBytes(target), QByteArray("new"));
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_FALSE(replaceFile(dir.file(QStringLiteral("gone/info.txt")), "x"));
}
