#include "album/PhotoTable.h"

#include <gtest/gtest.h>

using album::Field;
using album::PhotoTable;

TEST(PhotoTable, StartsAndResetsToOneEmptyRow)
{
    PhotoTable table;
    EXPECT_EQ(table.RowCount(), 1);
    EXPECT_TRUE(table.Get(Field::Title, 0).isEmpty());

    for (int i = 0; i < 20; ++i) {
        if (i > 0)
            table.AppendRow();
        table.Set(Field::Title, i, QStringLiteral("Chata %1").arg(i));
        table.Set(Field::Description, i, QStringLiteral("popis"));
    }
    EXPECT_EQ(table.RowCount(), 20);
    table.Reset();
    ASSERT_EQ(table.RowCount(), 1);
    for (Field f : {Field::FileName, Field::DateBackup, Field::Title, Field::Name, Field::Date,
                    Field::Description, Field::Rights, Field::Key})
        EXPECT_TRUE(table.Get(f, 0).isEmpty());
    table.AppendRow();
    EXPECT_TRUE(table.Get(Field::Title, 1).isEmpty()) << "an appended row never inherits an old album's text";
}

TEST(PhotoTable, FieldsOfARowAreIndependent)
{
    PhotoTable table;
    table.AppendRow();
    table.Set(Field::Name, 1, QStringLiteral("Vysoké Tatry 1"));
    table.Set(Field::Date, 0, QStringLiteral("15.1.2004"));
    EXPECT_EQ(table.Get(Field::Name, 1), QStringLiteral("Vysoké Tatry 1"));
    EXPECT_TRUE(table.Get(Field::Name, 0).isEmpty());
    EXPECT_TRUE(table.Get(Field::Date, 1).isEmpty());
    EXPECT_EQ(table.Get(Field::Date, 0), QStringLiteral("15.1.2004"));
}
