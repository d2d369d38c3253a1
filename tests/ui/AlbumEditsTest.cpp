// Edits that reach every photo: binding the photo dates to the album date, and the album's
// access right as a floor for every photo's right.
#include "MainWindowFixture.h"

#include <QTest>

using album::Field;

class AlbumEditsTest : public MainWindowTest {
protected:
    void openThree()
    {
        folder = makeAlbum(QStringLiteral("Tatry"), {"a.jpg", "b.jpg", "c.jpg"});
        setModificationTime(folder + QStringLiteral("/b.jpg"), QDateTime(QDate(2004, 2, 2), QTime(12, 0)));
        setModificationTime(folder + QStringLiteral("/c.jpg"), QDateTime(QDate(2004, 3, 3), QTime(12, 0)));
        open(folder);
    }

    QStringList dates()
    {
        QStringList result;
        for (int r = 0; r < form->album().table().RowCount(); ++r)
            result << form->album().table().Get(Field::Date, r);
        return result;
    }

    QString folder;
};

TEST_F(AlbumEditsTest, BindingSetsEveryPhotoDateAndUnbindingRestoresEach)
{
    openThree();
    auto& u = ui();
    u.EditADate->setText(QStringLiteral("15.1.2004"));
    QTest::mouseClick(u.BitBtnNext, Qt::LeftButton);
    u.CheckBoxDate->setChecked(true);
    EXPECT_EQ(dates(), (QStringList{"15.1.2004", "15.1.2004", "15.1.2004"}));
    EXPECT_FALSE(u.EditFdate->isEnabled());
    EXPECT_EQ(u.EditFdate->text(), QStringLiteral("15.1.2004"));

    // While bound, every change of the album date reaches every photo and the photo date field.
    u.EditADate->selectAll();
    typeText(u.EditADate, QStringLiteral("1.5.2004"));
    EXPECT_EQ(dates(), (QStringList{"1.5.2004", "1.5.2004", "1.5.2004"}));
    EXPECT_EQ(u.EditFdate->text(), QStringLiteral("1.5.2004"));

    u.CheckBoxDate->setChecked(false);
    EXPECT_EQ(dates(), (QStringList{"15.1.2004", "2.2.2004", "3.3.2004"}));
    EXPECT_TRUE(u.EditFdate->isEnabled());
    EXPECT_EQ(u.EditFdate->text(), QStringLiteral("2.2.2004")) << "the photo shown gets its own date back";
}

TEST_F(AlbumEditsTest, PhotosOpenedWhileBoundKeepTheirDatesWhenUnbound)
{
    auto& u = ui();
    u.CheckBoxDate->setChecked(true);
    openThree();
    EXPECT_EQ(dates(), (QStringList{"15.1.2004", "2.2.2004", "3.3.2004"}))
        << "the album date did not change after the photos were listed";

    // A caption file with another album date binds the photos to it, but a photo's own date stays.
    dialogs.answerQuestion(false);
    const QString other = makeAlbum(QStringLiteral("Jine"), {"x.jpg", "y.jpg"});
    writeBytes(other + QStringLiteral("/info.txt"),
               cp1250(QStringLiteral("[head]\r\ndate=24.12.2004\r\n[y]\r\ndate=vlastní\r\n")));
    open(other);
    EXPECT_EQ(dates(), (QStringList{"24.12.2004", "vlastní"}));

    u.CheckBoxDate->setChecked(false);
    EXPECT_EQ(dates(), (QStringList{"24.12.2004", "vlastní"})) << "no empty dates: nothing was backed up";
}

TEST_F(AlbumEditsTest, AlbumRightsRaiseLowerPhotoRightsOnly)
{
    openThree();
    auto& t = form->album().tableForTest();
    t.Set(Field::Rights, 0, QStringLiteral("0"));
    t.Set(Field::Rights, 1, QStringLiteral("10"));
    t.Set(Field::Rights, 2, QStringLiteral("50"));
    ui().SpinEditA->setValue(30);
    EXPECT_EQ(t.Get(Field::Rights, 0), QStringLiteral("30"));
    EXPECT_EQ(t.Get(Field::Rights, 1), QStringLiteral("30"));
    EXPECT_EQ(t.Get(Field::Rights, 2), QStringLiteral("50"));
    EXPECT_EQ(ui().SpinEditF->minValue(), 30);
    EXPECT_FALSE(form->album().state().RightsCascade);

    // At the boundary: a right equal to the album's is set to it (as the field writes it), one
    // above stays as it is.
    t.Set(Field::Rights, 0, QStringLiteral("+40"));
    t.Set(Field::Rights, 1, QStringLiteral("41"));
    ui().SpinEditA->setValue(40);
    EXPECT_EQ(t.Get(Field::Rights, 0), QStringLiteral("40"));
    EXPECT_EQ(t.Get(Field::Rights, 1), QStringLiteral("41"));
}

TEST_F(AlbumEditsTest, WithoutAnAlbumTheRightsChangeNoRow)
{
    form->album().tableForTest().Set(Field::Rights, 0, QStringLiteral("5"));
    ui().SpinEditA->setValue(40);
    EXPECT_EQ(form->album().table().Get(Field::Rights, 0), QStringLiteral("5"));
    EXPECT_EQ(ui().SpinEditF->value(), 40);
}

TEST_F(AlbumEditsTest, FailedCascadeIsReportedAndLeavesThePhotoRightsFieldWorking)
{
    openThree();
    auto& t = form->album().tableForTest();
    t.Set(Field::Rights, 1, QStringLiteral("hodně"));
    t.Set(Field::Rights, 2, QStringLiteral("5"));
    ui().SpinEditA->setValue(20);
    EXPECT_EQ(takeErrors(), QStringList{QStringLiteral("'hodně' is not a valid integer value.")});
    EXPECT_EQ(t.Get(Field::Rights, 0), QStringLiteral("20"));
    EXPECT_EQ(t.Get(Field::Rights, 2), QStringLiteral("5")) << "the rows after the failing one keep theirs";
    EXPECT_FALSE(form->album().state().RightsCascade);

    ui().SpinEditF->setValue(70);
    EXPECT_EQ(t.Get(Field::Rights, 0), QStringLiteral("70")) << "the photo rights field stores again";
}

TEST_F(AlbumEditsTest, TickingTheRightsSwitchesTheirFieldsOn)
{
    openThree();
    form->album().state().Modified = false;
    ui().CheckBoxRights->setChecked(true);
    EXPECT_TRUE(ui().SpinEditA->isEnabled());
    EXPECT_TRUE(ui().SpinEditF->isEnabled());
    EXPECT_TRUE(ui().BtnRights->isEnabled());
    EXPECT_TRUE(form->album().state().Modified);
}

TEST_F(AlbumEditsTest, AnErrorWhileBindingIsReportedAndEndsOnlyThatClick)
{
    openThree();
    form->album().tableForTest().Set(Field::Rights, 0, QStringLiteral("?"));
    ui().CheckBoxDate->setChecked(true);  // as a click does
    EXPECT_EQ(takeErrors(), QStringList{QStringLiteral("'?' is not a valid integer value.")});
    EXPECT_EQ(dates(), (QStringList{"15.1.2004", "15.1.2004", "15.1.2004"})) << "the dates were bound before the error";
    ui().CheckBoxDate->setChecked(false);
    EXPECT_EQ(takeErrors().size(), 1);
    EXPECT_EQ(dates(), (QStringList{"15.1.2004", "2.2.2004", "3.3.2004"}));
}
