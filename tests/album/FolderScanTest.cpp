#include "album/FolderScan.h"
#include "support/Fixtures.h"

#include <gtest/gtest.h>

using album::Field;
using album::PhotoTable;

namespace {

QStringList scan(const TempFolder& dir, PhotoTable& table)
{
    table.Reset();
    album::fillTable(album::listPhotos(dir.path()), table);
    QStringList names;
    for (int r = 0; r < table.RowCount(); ++r)
        names << table.Get(Field::FileName, r);
    return names;
}

void touch(const TempFolder& dir, std::initializer_list<const char*> names)
{
    for (const char* name : names)
        writeBytes(dir.file(QString::fromUtf8(name)), "x");
}

}  // namespace

TEST(FolderScan, KeyCutsTheLastFourCharactersWhateverTheyAre)
{
    EXPECT_EQ(album::keyOf(QStringLiteral("IMG_0001.jpg")), QStringLiteral("IMG_0001"));
    EXPECT_EQ(album::keyOf(QStringLiteral("a.jpg")), QStringLiteral("a"));
    EXPECT_EQ(album::keyOf(QStringLiteral("Photo.JPG")), QStringLiteral("Photo"));
    EXPECT_EQ(album::keyOf(QStringLiteral("b.jpeg")), QStringLiteral("b."));
    EXPECT_EQ(album::keyOf(QStringLiteral(".jpg")), QString());
}

TEST(FolderScan, RowsGetNameKeyOwnDateAndRightsZero)
{
    TempFolder dir;
    touch(dir, {"a.jpg", "Photo.JPG", "žluťoučký kůň.jpg"});
    setModificationTime(dir.file(QStringLiteral("a.jpg")), QDateTime(QDate(2004, 1, 15), QTime(12, 0)));
    setModificationTime(dir.file(QStringLiteral("Photo.JPG")), QDateTime(QDate(1975, 6, 2), QTime(12, 0)));
    setModificationTime(dir.file(QStringLiteral("žluťoučký kůň.jpg")), QDateTime(QDate(2150, 12, 31), QTime(12, 0)));

    PhotoTable table;
    ASSERT_EQ(scan(dir, table), (QStringList{"a.jpg", "Photo.JPG", "žluťoučký kůň.jpg"}));
    EXPECT_EQ(table.Get(Field::Key, 0), QStringLiteral("a"));
    EXPECT_EQ(table.Get(Field::Name, 0), QStringLiteral("a"));
    EXPECT_EQ(table.Get(Field::Date, 0), QStringLiteral("15.1.2004"));
    EXPECT_EQ(table.Get(Field::Rights, 0), QStringLiteral("0"));
    EXPECT_EQ(table.Get(Field::Key, 1), QStringLiteral("Photo"));
    // Dates outside 1980..2107 are still each photo's own.
    EXPECT_EQ(table.Get(Field::Date, 1), QStringLiteral("2.6.1975"));
    EXPECT_EQ(table.Get(Field::Date, 2), QStringLiteral("31.12.2150"));
    EXPECT_EQ(table.Get(Field::Name, 2), QStringLiteral("žluťoučký kůň"));
    for (int r = 0; r < 3; ++r) {
        EXPECT_TRUE(table.Get(Field::Title, r).isEmpty());
        EXPECT_TRUE(table.Get(Field::Description, r).isEmpty());
        EXPECT_TRUE(table.Get(Field::DateBackup, r).isEmpty());
    }
}

TEST(FolderScan, LowerCaseTnEntriesAfterTheFirstAreSkipped)
{
    TempFolder dir;
    touch(dir, {"a.jpg", "tn_a.jpg", "x.jpg"});
    PhotoTable table;
    EXPECT_EQ(scan(dir, table), (QStringList{"a.jpg", "x.jpg"}));

    TempFolder onlyThumb;
    touch(onlyThumb, {"tn_a.jpg"});
    EXPECT_EQ(scan(onlyThumb, table), QStringList{"tn_a.jpg"}) << "the first entry is never tested";

    TempFolder upper;
    touch(upper, {"a.jpg", "TN_b.jpg", "c.jpg"});
    EXPECT_EQ(scan(upper, table), (QStringList{"a.jpg", "c.jpg", "TN_b.jpg"})) << "upper-case TN is a photo";

    TempFolder after;
    touch(after, {"b.jpg", "tn1.jpg", "to.jpg", "z.jpg", "_u.jpg", "Tn2.jpg", "zahrada.jpg", "Vylet.jpg", "Čáp.jpg",
                  "Šum.jpg", "Žába.jpg", "tn_z.jpg"});
    EXPECT_EQ(scan(after, table), (QStringList{"b.jpg", "Tn2.jpg", "to.jpg", "Vylet.jpg", "z.jpg", "zahrada.jpg",
                                               "_u.jpg", "Čáp.jpg", "Šum.jpg", "Žába.jpg"}))
        << "nothing sorting after a thumbnail is lost";
}

TEST(FolderScan, FoldersNamedLikePhotosAreListed)
{
    TempFolder dir;
    touch(dir, {"b.jpg"});
    dir.makeFolder(QStringLiteral("a.jpg"));
    PhotoTable table;
    EXPECT_EQ(scan(dir, table), (QStringList{"a.jpg", "b.jpg"}));
}

TEST(FolderScan, EmptyOrMissingFolderLeavesTheTableEmpty)
{
    TempFolder dir;
    touch(dir, {"a.png", "info.txt"});
    PhotoTable table;
    table.Set(Field::Title, 0, QStringLiteral("old"));
    EXPECT_EQ(scan(dir, table), QStringList{QString()});
    EXPECT_TRUE(album::listPhotos(dir.file(QStringLiteral("gone"))).isEmpty());
}
