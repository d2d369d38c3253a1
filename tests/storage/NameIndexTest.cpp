#include "storage/NameIndex.h"
#include "storage/ProfileFile.h"

#include <gtest/gtest.h>

using storage::NameIndex;
using storage::ProfileFile;

// Two names are one name to the index exactly when the profile file takes them for one section:
// case and blanks around them do not count, letters that fold to ASCII ones meet those.
TEST(NameIndex, TellsNamesApartAsTheFileDoes)
{
    const QStringList names{
        QStringLiteral("IMG_0001"), QStringLiteral("img_0001"), QStringLiteral("  Img_0001 "),
        QStringLiteral("IMG_0001\t"), QStringLiteral("IMG_001"), QStringLiteral("head"),
        QStringLiteral("HEAD"), QStringLiteral("Čáp"), QStringLiteral("čÁP"), QStringLiteral("cap"),
        QStringLiteral("\u212Aůň"), QStringLiteral("kŮŇ"), QStringLiteral("\u017Fova"), QStringLiteral("SOVA"),
        QStringLiteral("Straße"), QStringLiteral("STRASSE"), QString(), QStringLiteral(" "),
    };
    for (const QString& a : names) {
        NameIndex index;
        index.insert(a, 7);
        for (const QString& b : names) {
            const bool same = ProfileFile::comparableName(a) == ProfileFile::comparableName(b);
            EXPECT_EQ(index.value(b, -1), same ? 7 : -1) << qPrintable(a) << " / " << qPrintable(b);
        }
    }
}

// A big index (grown many times, with names alike but for a digit) finds each of its names
// with its own number, and no other.
TEST(NameIndex, BigIndexFindsEveryNameAndNoOther)
{
    NameIndex index;
    const int count = 20000;
    for (int i = 0; i < count; ++i) {
        ASSERT_FALSE(index.contains(QStringLiteral("img_%1").arg(i)));
        index.insert(QStringLiteral("IMG_%1").arg(i), i);
    }
    EXPECT_EQ(index.size(), count);
    for (int i = 0; i < count; ++i)
        ASSERT_EQ(index.value(QStringLiteral("Img_%1").arg(i), -1), i);
    EXPECT_FALSE(index.contains(QStringLiteral("IMG_%1").arg(count)));
    *index.find(QStringLiteral("img_5")) = -3;
    EXPECT_EQ(index.value(QStringLiteral("IMG_5"), 0), -3);
}
