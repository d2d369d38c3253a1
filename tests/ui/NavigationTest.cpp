// Moving through an album: the navigation controls, the photo fields bound to the current row,
// and the preview of each photo, over a folder of photos of several shapes and some damaged ones.
#include "MainWindowFixture.h"

#include <QTest>
#include <qpa/qwindowsysteminterface.h>

using album::Field;

namespace {

struct NavControls {
    bool first, previous, next, last, jump, jumpField, next1;
};

NavControls navState(Ui::TForm1& u)
{
    return {u.BitBtnFirst->isEnabled(), u.BitBtnPrevious->isEnabled(), u.BitBtnNext->isEnabled(),
            u.BitBtnLast->isEnabled(), u.BitBtnJump->isEnabled(), u.SpinEditJump->isEnabled(),
            u.BitBtnNext1->isEnabled()};
}

bool operator==(const NavControls& a, const NavControls& b)
{
    return a.first == b.first && a.previous == b.previous && a.next == b.next && a.last == b.last
        && a.jump == b.jump && a.jumpField == b.jumpField && a.next1 == b.next1;
}

void PrintTo(const NavControls& n, std::ostream* os)
{
    *os << "first " << n.first << " previous " << n.previous << " next " << n.next << " last " << n.last
        << " jump " << n.jump << " jumpField " << n.jumpField << " next1 " << n.next1;
}

}  // namespace

class NavigationTest : public MainWindowTest {
protected:
    // Photos of several shapes (names sort in this order).
    void openShapes()
    {
        folder = albums.makeFolder(QStringLiteral("Tvary"));
        writeJpeg(folder + QStringLiteral("/a_4x3.jpg"), 1600, 1200);
        writeJpeg(folder + QStringLiteral("/b_portrait.jpg"), 1200, 1600);
        writeJpeg(folder + QStringLiteral("/c_3x2.jpg"), 1500, 1000);
        writeJpeg(folder + QStringLiteral("/d_square.jpg"), 1000, 1000);
        writeJpeg(folder + QStringLiteral("/e_tall.jpg"), 900, 1000);
        writeJpeg(folder + QStringLiteral("/f_wide.jpg"), 1600, 896);
        open(folder);
    }

    void click(QAbstractButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    QString hint() { return ui().Image1->toolTip(); }

    QString folder;
};

TEST_F(NavigationTest, ControlsFollowThePositionInTheAlbum)
{
    open(makeAlbum(QStringLiteral("Tri"), {"a.jpg", "b.jpg", "c.jpg"}));
    auto& u = ui();
    EXPECT_EQ(navState(u), (NavControls{false, false, true, true, true, true, true}));

    click(u.BitBtnNext);
    EXPECT_EQ(u.LabelFoto->text(), QStringLiteral("2/3"));
    EXPECT_EQ(navState(u), (NavControls{true, true, true, true, true, true, true}));

    click(u.BitBtnNext);
    EXPECT_EQ(u.LabelFoto->text(), QStringLiteral("3/3"));
    EXPECT_EQ(navState(u), (NavControls{true, true, false, false, true, true, false}));

    click(u.BitBtnPrevious);
    EXPECT_EQ(u.LabelFoto->text(), QStringLiteral("2/3"));
    click(u.BitBtnLast);
    EXPECT_EQ(form->album().state().CurrentRow, 2);
    click(u.BitBtnFirst);
    EXPECT_EQ(form->album().state().CurrentRow, 0);
    EXPECT_EQ(u.LabelFoto->text(), QStringLiteral("1/3"));
    EXPECT_EQ(navState(u), (NavControls{false, false, true, true, true, true, true}));
    EXPECT_EQ(u.EditFName->text(), QStringLiteral("a"));
}

TEST_F(NavigationTest, PreviousOnFirstAndNextOnLastStayButRefreshTheFields)
{
    open(makeAlbum(QStringLiteral("Dve"), {"a.jpg", "b.jpg"}));
    auto& u = ui();
    form->BitBtnPreviousClick();
    EXPECT_EQ(form->album().state().CurrentRow, 0);
    EXPECT_EQ(u.LabelFoto->text(), QStringLiteral("1/2"));
    form->BitBtnLastClick();
    form->BitBtnNextClick();
    EXPECT_EQ(form->album().state().CurrentRow, 1);
    EXPECT_EQ(u.EditFName->text(), QStringLiteral("b"));
}

TEST_F(NavigationTest, JumpBringsTheNumberIntoTheAlbumAndLeavesTheFieldAsTyped)
{
    open(makeAlbum(QStringLiteral("Ctyri"), {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}));
    auto& u = ui();
    u.SpinEditJump->setText(QStringLiteral("3"));
    click(u.BitBtnJump);
    EXPECT_EQ(form->album().state().CurrentRow, 2);
    EXPECT_EQ(u.EditFName->text(), QStringLiteral("c"));

    u.SpinEditJump->setText(QStringLiteral("0"));
    form->BitBtnJumpClick();
    EXPECT_EQ(form->album().state().CurrentRow, 0) << "0 shows the first photo";
    EXPECT_EQ(u.SpinEditJump->text(), QStringLiteral("0")) << "navigation never changes the number shown";

    u.SpinEditJump->setText(QStringLiteral("9"));
    form->BitBtnJumpClick();
    EXPECT_EQ(form->album().state().CurrentRow, 3) << "a number above the count shows the last photo";

    u.SpinEditJump->setText(QStringLiteral("x"));
    form->BitBtnJumpClick();
    EXPECT_EQ(form->album().state().CurrentRow, 0) << "text that is not a number counts as 1";

    click(u.BitBtnLast);
    EXPECT_EQ(u.SpinEditJump->text(), QStringLiteral("x"));
}

TEST_F(NavigationTest, EnterInTheJumpFieldJumpsThenBeeps)
{
    open(makeAlbum(QStringLiteral("Tri"), {"a.jpg", "b.jpg", "c.jpg"}));
    auto& u = ui();
    form->show();
    QApplication::setActiveWindow(form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    u.SpinEditJump->setFocus();
    u.SpinEditJump->setText(QString());
    QTest::keyClick(u.SpinEditJump->lineEdit(), Qt::Key_2);
    const int beeps = dialogs.beeps;
    QTest::keyClick(u.SpinEditJump->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(form->album().state().CurrentRow, 1);
    EXPECT_EQ(dialogs.beeps, beeps + 1);
    EXPECT_EQ(u.SpinEditJump->text(), QStringLiteral("2"));
    EXPECT_TRUE(u.SpinEditJump->lineEdit()->hasFocus()) << "Enter does not move the focus";

    // A number left from a larger album: the Open changes the limits, not the number.
    u.SpinEditJump->setText(QStringLiteral("3"));
    dialogs.answerQuestion(false);
    open(makeAlbum(QStringLiteral("Dve"), {"x.jpg", "y.jpg"}));
    EXPECT_EQ(u.SpinEditJump->text(), QStringLiteral("3"));
    QTest::keyClick(u.SpinEditJump->lineEdit(), Qt::Key_Enter);
    EXPECT_EQ(form->album().state().CurrentRow, 1) << "jumps to the last photo, never past the table";
    form->hide();
}

TEST_F(NavigationTest, NextButtonOfThePhotoGroupMovesAndFocusesTheName)
{
    open(makeAlbum(QStringLiteral("Tri"), {"a.jpg", "b.jpg", "c.jpg"}));
    auto& u = ui();
    form->show();
    QApplication::setActiveWindow(form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    u.EditFTitle->setFocus();
    click(u.BitBtnNext1);
    EXPECT_EQ(form->album().state().CurrentRow, 1);
    EXPECT_TRUE(u.EditFName->hasFocus());
    EXPECT_EQ(u.EditFName->text(), QStringLiteral("b"));
    form->hide();
}

TEST_F(NavigationTest, TypedCaptionsLandInTheRowShownAndNowhereElse)
{
    open(makeAlbum(QStringLiteral("Tri"), {"a.jpg", "b.jpg", "c.jpg"}));
    auto& u = ui();
    click(u.BitBtnNext);
    typeText(u.EditFTitle, QStringLiteral("Lomnický štít"));
    typeText(u.MemoF, QStringLiteral("řádek 1\nřádek 2"));
    click(u.BitBtnNext);
    u.EditFdate->selectAll();
    typeText(u.EditFdate, QStringLiteral("1.5.2004"));
    click(u.BitBtnFirst);

    const auto& t = form->album().tableForTest();
    EXPECT_TRUE(t.Get(Field::Title, 0).isEmpty());
    EXPECT_EQ(t.Get(Field::Date, 0), QStringLiteral("15.1.2004"));
    EXPECT_EQ(t.Get(Field::Title, 1), QStringLiteral("Lomnický štít"));
    EXPECT_EQ(t.Get(Field::Description, 1), QStringLiteral("řádek 1\nřádek 2"));
    EXPECT_TRUE(t.Get(Field::Title, 2).isEmpty());
    EXPECT_EQ(t.Get(Field::Date, 2), QStringLiteral("1.5.2004"));
    EXPECT_TRUE(u.EditFTitle->text().isEmpty());
    EXPECT_TRUE(u.MemoF->toPlainText().isEmpty());

    click(u.BitBtnNext);
    EXPECT_EQ(u.EditFTitle->text(), QStringLiteral("Lomnický štít"));
    EXPECT_EQ(u.MemoF->toPlainText(), QStringLiteral("řádek 1\nřádek 2"));
}

TEST_F(NavigationTest, OnlyARealChangeOfAFieldMarksTheAlbumModified)
{
    open(makeAlbum(QStringLiteral("Tri"), {"a.jpg", "b.jpg", "c.jpg"}));
    auto& u = ui();
    auto& t = form->album().tableForTest();
    for (int r = 0; r < 3; ++r) {
        t.Set(Field::Name, r, QStringLiteral("stejné"));
        t.Set(Field::Description, r, QStringLiteral("stejný popis"));
    }
    form->BitBtnFirstClick();  // the fields take row 0's captions
    form->album().state().Modified = false;

    click(u.BitBtnNext);
    EXPECT_FALSE(form->album().state().Modified) << "the fields show the same texts: nothing runs";

    t.Set(Field::Title, 2, QStringLiteral("jiný"));
    click(u.BitBtnNext);
    EXPECT_TRUE(form->album().state().Modified) << "moving to a photo whose captions differ marks it";
    EXPECT_EQ(t.Get(Field::Title, 2), QStringLiteral("jiný"));
}

TEST_F(NavigationTest, PanelFitsEachPhotoShapeAndTheHintNamesItsSize)
{
    openShapes();
    auto& u = ui();
    const QSize expected[] = {{400, 300}, {225, 300}, {400, 266}, {300, 300}, {225, 249}, {400, 223}};
    const char* names[] = {"a_4x3.jpg (1600 x 1200)", "b_portrait.jpg (1200 x 1600)", "c_3x2.jpg (1500 x 1000)",
                           "d_square.jpg (1000 x 1000)", "e_tall.jpg (900 x 1000)", "f_wide.jpg (1600 x 896)"};
    for (int i = 0; i < 6; ++i) {
        if (i > 0)
            click(u.BitBtnNext);
        EXPECT_EQ(u.Panel1->geometry(), QRect(QPoint(320, 32), expected[i])) << names[i];
        EXPECT_EQ(u.Image1->geometry(), QRect(QPoint(0, 0), expected[i])) << names[i];
        EXPECT_EQ(hint(), folder + u'/' + QString::fromLatin1(names[i]));
        settle();
        EXPECT_FALSE(u.Image1->isHidden());
        EXPECT_EQ(u.Image1->pixmap().size(), expected[i]);
    }
}

TEST_F(NavigationTest, DamagedPhotosAreReportedAndTheWindowShowsTheirRow)
{
    folder = albums.makeFolder(QStringLiteral("Poskozene"));
    writeJpeg(folder + QStringLiteral("/a.jpg"), 800, 600);
    writeBytes(folder + QStringLiteral("/b.jpg"), "this is not a picture");
    writeBytes(folder + QStringLiteral("/c.jpg"), QByteArray());
    const QByteArray whole = readBytes(folder + QStringLiteral("/a.jpg"));
    writeBytes(folder + QStringLiteral("/d.jpg"), whole.left(whole.size() / 2));
    QDir(folder).mkdir(QStringLiteral("e.jpg"));
    open(folder);
    auto& u = ui();

    click(u.BitBtnNext);
    EXPECT_EQ(takeErrors(), QStringList{QStringLiteral("JPEG error #53.")});
    EXPECT_TRUE(u.Image1->isHidden());
    EXPECT_EQ(u.LabelFoto->text(), QStringLiteral("2/5")) << "the window shows the row it now points to";
    EXPECT_EQ(u.EditFName->text(), QStringLiteral("b"));
    EXPECT_EQ(navState(u), (NavControls{true, true, true, true, true, true, true}));
    u.EditFTitle->selectAll();
    typeText(u.EditFTitle, QStringLiteral("vadná"));
    EXPECT_EQ(form->album().table().Get(Field::Title, 1), QStringLiteral("vadná"));
    EXPECT_TRUE(form->album().table().Get(Field::Title, 0).isEmpty());

    click(u.BitBtnNext);
    EXPECT_EQ(takeErrors(), QStringList{QStringLiteral("Invalid floating point operation.")});
    EXPECT_EQ(hint(), folder + QStringLiteral("/c.jpg (0 x 0)"));
    EXPECT_TRUE(u.Image1->isHidden());
    EXPECT_EQ(u.LabelFoto->text(), QStringLiteral("3/5"));

    click(u.BitBtnNext);
    settle();
    EXPECT_TRUE(takeErrors().isEmpty()) << "a truncated photo shows as far as its data goes";
    EXPECT_FALSE(u.Image1->isHidden());
    EXPECT_EQ(u.Panel1->size(), QSize(400, 300));

    click(u.BitBtnNext);
    EXPECT_EQ(takeErrors(), QStringList{QStringLiteral("Cannot open file %1/e.jpg.").arg(folder)});
    EXPECT_TRUE(u.Image1->isHidden());
    EXPECT_EQ(u.LabelFoto->text(), QStringLiteral("5/5"));
    EXPECT_FALSE(u.BitBtnNext->isEnabled());

    click(u.BitBtnFirst);
    settle();
    EXPECT_TRUE(takeErrors().isEmpty());
    EXPECT_FALSE(u.Image1->isHidden());
}

TEST_F(NavigationTest, FirstPhotoThatCannotBeShownStillOpensTheAlbum)
{
    folder = albums.makeFolder(QStringLiteral("Spatny zacatek"));
    writeBytes(folder + QStringLiteral("/a.jpg"), "not a jpeg");
    writeJpeg(folder + QStringLiteral("/b.jpg"), 64, 48);
    open(folder);
    EXPECT_EQ(takeErrors(), QStringList{QStringLiteral("JPEG error #53.")});
    EXPECT_TRUE(form->album().state().AlbumOpen);
    EXPECT_EQ(ui().LabelFoto->text(), QStringLiteral("1/2"));
    EXPECT_TRUE(ui().BitBtnNext->isEnabled());
    EXPECT_EQ(ui().SpinEditJump->maxValue(), 2);
}

TEST_F(NavigationTest, PrefetchedNeighbourIsUsedOnlyWhileTheFileIsUnchanged)
{
    folder = albums.makeFolder(QStringLiteral("Predem"));
    writeJpeg(folder + QStringLiteral("/a.jpg"), 800, 600);
    writeJpeg(folder + QStringLiteral("/b.jpg"), 800, 600);
    writeJpeg(folder + QStringLiteral("/c.jpg"), 800, 600);
    open(folder);
    settle();
    ASSERT_TRUE(form->pictures().find(folder + QStringLiteral("/b.jpg"), picture::previewPanelSize).has_value());
    // b.jpg was decoded ahead while a.jpg was shown; now it changes on disk.
    writeJpeg(folder + QStringLiteral("/b.jpg"), 600, 800);
    setModificationTime(folder + QStringLiteral("/b.jpg"), QDateTime::currentDateTime().addSecs(60));
    click(ui().BitBtnNext);
    EXPECT_EQ(hint(), folder + QStringLiteral("/b.jpg (600 x 800)"));
    EXPECT_EQ(ui().Panel1->size(), QSize(225, 300));

    // c.jpg is damaged after its prefetch: its error is reported when shown.
    settle();
    writeBytes(folder + QStringLiteral("/c.jpg"), "garbage");
    click(ui().BitBtnNext);
    EXPECT_EQ(takeErrors(), QStringList{QStringLiteral("JPEG error #53.")});
}

TEST_F(NavigationTest, AltDActsAtOnceAndNoPressIsLost)
{
    // Two presses in a row, as fast as a user types them: each moves on at once, with nothing
    // in between that waits (a button's animated click would lose the second).
    open(makeAlbum(QStringLiteral("Rychle"), {"a.jpg", "b.jpg", "c.jpg", "d.jpg"}));
    form->show();
    QApplication::setActiveWindow(form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    ui().EditFTitle->setFocus();
    QTest::keyClick(ui().EditFTitle, Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(ui().LabelFoto->text(), QStringLiteral("2/4"));
    EXPECT_TRUE(ui().EditFName->hasFocus());
    QTest::keyClick(ui().EditFName, Qt::Key_D, Qt::AltModifier);
    EXPECT_EQ(ui().LabelFoto->text(), QStringLiteral("3/4"));
    EXPECT_EQ(ui().EditFName->text(), QStringLiteral("c")) << "the name field shows the photo, no typed d";
    form->hide();
}

TEST_F(NavigationTest, ABurstOfStepsDecodesOnlyWhereTheUserStops)
{
    // Five Alt+D presses arrive at once, as when the user is faster than photos decode: every
    // step moves the counter and the fields, the photos passed over are not decoded, and the
    // preview ends on the photo where the user stopped, never showing another meanwhile.
    const QString folder = albums.makeFolder(QStringLiteral("Davka"));
    const QStringList names{"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg", "f.jpg", "g.jpg", "h.jpg"};
    for (const QString& name : names)
        writeJpeg(folder + u'/' + name, 3000, 2000);
    open(folder);
    form->show();
    QApplication::setActiveWindow(form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    settle();
    const int decodesBefore = form->pictures().decodeCount();
    for (int i = 0; i < 5; ++i) {
        for (const auto type : {QEvent::KeyPress, QEvent::KeyRelease})
            QWindowSystemInterface::handleKeyEvent<QWindowSystemInterface::AsynchronousDelivery>(
                form->windowHandle(), type, Qt::Key_D, Qt::AltModifier, QStringLiteral("d"));
    }
    QTRY_COMPARE(ui().LabelFoto->text(), QStringLiteral("6/8"));
    EXPECT_EQ(ui().EditFName->text(), QStringLiteral("f"));
    QTRY_VERIFY(!ui().Image1->isHidden());
    EXPECT_EQ(ui().Image1->toolTip(), folder + QStringLiteral("/f.jpg (3000 x 2000)"));
    settle();
    // Decoded to the end: f, then its neighbours e and g, perhaps c (begun ahead of the first
    // step); never d or e while they were passed (all five would be, one after the other, if
    // every step waited for its photo).
    EXPECT_LE(form->pictures().decodeCount() - decodesBefore, 4);
    form->hide();
}
