#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

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
    TempFolder dir;
    for (const char* name : {"_x.jpg", "Zeta.jpg", "alfa.jpg", "tn_a.jpg", "TN_b.jpg", "Beta.jpg", "1.jpg"})
        writeBytes(dir.file(QString::fromLatin1(name)), "x");
    QStringList names;
    for (const auto& entry : listFolder(dir.path(), QStringLiteral(".jpg")))
        names << entry.name;
    EXPECT_EQ(names, (QStringList{"1.jpg", "alfa.jpg", "Beta.jpg", "tn_a.jpg", "TN_b.jpg", "Zeta.jpg", "_x.jpg"}));
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
