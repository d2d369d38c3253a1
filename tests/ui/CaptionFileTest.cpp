// Reading an album's "info.txt" when its folder is opened, and what reaches the file again.
#include "MainWindowFixture.h"

#include <QClipboard>
#include <QTest>

using album::Field;

class CaptionFileTest : public MainWindowTest {
protected:
    // An album of the given photos (dated 15.1.2004) with this "info.txt" (Windows-1250).
    QString albumWithCaptions(const QStringList& photos, const QString& captions)
    {
        folder = makeAlbum(QStringLiteral("Tatry"), photos);
        writeBytes(folder + QStringLiteral("/info.txt"), cp1250(captions));
        return folder;
    }

    void save() { ui().MenuSave->trigger(); }
    QByteArray captionBytes() { return readBytes(folder + QStringLiteral("/info.txt")); }

    QString folder;
};

TEST_F(CaptionFileTest, CaptionsAreLaidOverTheScannedDefaults)
{
    open(albumWithCaptions({"a.jpg", "b.jpg", "c.jpg"},
                           "[HEAD]\r\nName=Vysoké Tatry\r\ndate=1.2.2004\r\ndesc=\"  Návštěva Vysokých Tater \"\r\n"
                           "[a]\r\ntitle=Chata\r\nname=Chata pod štítem\r\ndate=2.2.2004\r\ndesc=\"Řekli 'sýr'\"\r\nrights=7\r\n"
                           "[B]\r\ntitle=jen nadpis\r\n"
                           "[zmizela]\r\ntitle=fotka, která už ve složce není\r\n"));
    auto& u = ui();
    const auto& t = form->album().tableForTest();
    EXPECT_TRUE(form->album().state().CaptionFileFound);
    EXPECT_EQ(u.EditAName->text(), QStringLiteral("Vysoké Tatry"));
    EXPECT_EQ(u.EditADate->text(), QStringLiteral("1.2.2004"));
    EXPECT_EQ(u.MemoA->toPlainText(), QStringLiteral("  Návštěva Vysokých Tater ")) << "quotes keep the blanks";
    EXPECT_EQ(t.Get(Field::Title, 0), QStringLiteral("Chata"));
    EXPECT_EQ(t.Get(Field::Name, 0), QStringLiteral("Chata pod štítem"));
    EXPECT_EQ(t.Get(Field::Date, 0), QStringLiteral("2.2.2004"));
    EXPECT_EQ(t.Get(Field::Description, 0), QStringLiteral("Řekli 'sýr'"));
    EXPECT_EQ(t.Get(Field::Rights, 0), QStringLiteral("7"));
    // A section holding only a title keeps the scan's name, date and rights.
    EXPECT_EQ(t.Get(Field::Title, 1), QStringLiteral("jen nadpis"));
    EXPECT_EQ(t.Get(Field::Name, 1), QStringLiteral("b"));
    EXPECT_EQ(t.Get(Field::Date, 1), QStringLiteral("15.1.2004"));
    EXPECT_EQ(t.Get(Field::Rights, 1), QStringLiteral("0"));
    // A photo without a section keeps its defaults.
    EXPECT_TRUE(t.Get(Field::Title, 2).isEmpty());
    EXPECT_EQ(t.Get(Field::Name, 2), QStringLiteral("c"));
    // The first photo's fields show what was read.
    EXPECT_EQ(u.EditFTitle->text(), QStringLiteral("Chata"));
    EXPECT_EQ(u.MemoF->toPlainText(), QStringLiteral("Řekli 'sýr'"));
    EXPECT_TRUE(form->album().state().Modified) << "the album name changed from the folder's name";
}

TEST_F(CaptionFileTest, EmptyValuesEmptyTitlesAndDescriptionsButNotNamesOrDates)
{
    open(albumWithCaptions({"a.jpg"}, "[head]\r\ndate=\r\n[a]\r\ntitle=\r\nname=\r\ndate=\r\ndesc=\r\nrights=\r\n"));
    const auto& t = form->album().tableForTest();
    EXPECT_TRUE(ui().EditAName->text().isEmpty()) << "no name in the file: no album name, not the folder's";
    EXPECT_TRUE(ui().EditADate->text().isEmpty());
    EXPECT_TRUE(t.Get(Field::Title, 0).isEmpty());
    EXPECT_EQ(t.Get(Field::Name, 0), QStringLiteral("a"));
    EXPECT_EQ(t.Get(Field::Date, 0), QStringLiteral("15.1.2004"));
    EXPECT_EQ(t.Get(Field::Rights, 0), QStringLiteral("0"));
}

TEST_F(CaptionFileTest, AlbumRightsAboveZeroSwitchTheRightsOnAndEveryOpenStartsFromReset)
{
    auto& u = ui();
    open(albumWithCaptions({"a.jpg"}, "[head]\r\nname=x\r\nrights=150\r\n"));
    EXPECT_TRUE(u.CheckBoxRights->isChecked());
    EXPECT_EQ(u.SpinEditA->value(), 100) << "the album rights field's limit";

    dialogs.answerQuestion(false);
    const QString second = makeAlbum(QStringLiteral("Druhe"), {"a.jpg", "b.jpg"});
    writeBytes(second + QStringLiteral("/info.txt"), cp1250(QStringLiteral("[head]\r\nrights=30\r\n[b]\r\nrights=10\r\n")));
    open(second);
    EXPECT_EQ(u.SpinEditA->value(), 30);
    EXPECT_EQ(form->album().table().Get(Field::Rights, 0), QStringLiteral("30")) << "raised to the album's right";
    EXPECT_EQ(form->album().table().Get(Field::Rights, 1), QStringLiteral("10")) << "read after the album's right";
    QTest::mouseClick(u.BitBtnNext, Qt::LeftButton);
    EXPECT_EQ(u.SpinEditF->value(), 30) << "shown at least at the album's right";
    EXPECT_EQ(form->album().table().Get(Field::Rights, 1), QStringLiteral("10"))
        << "the field already showed the album's right: nothing changed, nothing stored";

    // The next album's file has no rights: nothing of the previous album's right carries over.
    dialogs.answerQuestion(false);
    const QString other = makeAlbum(QStringLiteral("Jine"), {"x.jpg"});
    writeBytes(other + QStringLiteral("/info.txt"), cp1250(QStringLiteral("[head]\r\nname=Jiné\r\nrights=0\r\n")));
    open(other);
    EXPECT_FALSE(u.CheckBoxRights->isChecked());
    EXPECT_EQ(u.SpinEditA->value(), 0);
    EXPECT_EQ(form->album().table().Get(Field::Rights, 0), QStringLiteral("0"));
}

TEST_F(CaptionFileTest, AlbumRightsThatAreNoNumberLeaveNothingThatCouldBeSaved)
{
    const QString captions = QStringLiteral("[head]\r\nname=Tatry\r\nrights=hodně\r\n[a]\r\ntitle=Chata\r\n");
    open(albumWithCaptions({"a.jpg"}, captions));
    EXPECT_EQ(takeErrors(), QStringList{QStringLiteral("'hodně' is not a valid integer value.")});
    auto& u = ui();
    EXPECT_FALSE(form->album().state().AlbumOpen);
    EXPECT_FALSE(form->album().state().Modified);
    for (QAction* a : {u.MenuSave, u.TBSave, u.MenuSaveAs, u.TBSaveAs})
        EXPECT_FALSE(a->isEnabled());
    form->album().Timer1Timer();
    form->close();  // nothing to ask, nothing to save
    EXPECT_EQ(captionBytes(), cp1250(captions)) << "the folder's captions are untouched";
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("/~info.txt")));
}

TEST_F(CaptionFileTest, CaptionFileThatCannotBeReadIsNeverTakenForAnEmptyOne)
{
    folder = makeAlbum(QStringLiteral("Zamceno"), {"a.jpg"});
    QDir(folder).mkdir(QStringLiteral("info.txt"));  // not a file: the album opens with defaults
    open(folder);
    EXPECT_FALSE(form->album().state().CaptionFileFound);
    EXPECT_TRUE(form->album().state().AlbumOpen);
    EXPECT_EQ(ui().EditAName->text(), QStringLiteral("Zamceno"));
}

TEST_F(CaptionFileTest, PhotoRightsThatAreNoNumberAreReportedWhenShown)
{
    open(albumWithCaptions({"a.jpg", "b.jpg"}, "[head]\r\nname=x\r\n[b]\r\nrights=mnoho\r\n"));
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(form->album().table().Get(Field::Rights, 1), QStringLiteral("mnoho")) << "stored as read";
    QTest::mouseClick(ui().BitBtnNext, Qt::LeftButton);
    EXPECT_EQ(takeErrors(), QStringList{QStringLiteral("'mnoho' is not a valid integer value.")});
    EXPECT_EQ(ui().LabelFoto->text(), QStringLiteral("2/2"));
    EXPECT_EQ(ui().EditFName->text(), QStringLiteral("b"));
}

TEST_F(CaptionFileTest, MultiLineDescriptionsComeBackExactlyAsTyped)
{
    open(albumWithCaptions({"a.jpg", "b.jpg"}, "[head]\r\nname=Tatry\r\n"));
    auto& u = ui();
    typeText(u.MemoF, QStringLiteral("první řádek\n[b]\ntitle=podvrh\n\"uvozovky\""));
    typeText(u.MemoA, QStringLiteral("Album\nna dva řádky"));
    save();
    EXPECT_TRUE(takeErrors().isEmpty());

    ASSERT_FALSE(form->album().state().Modified);
    open(folder);
    const auto& t = form->album().tableForTest();
    EXPECT_EQ(t.Get(Field::Description, 0), QStringLiteral("první řádek\n[b]\ntitle=podvrh\n'uvozovky'"));
    EXPECT_TRUE(t.Get(Field::Title, 1).isEmpty()) << "a line of a description is never an entry of another photo";
    EXPECT_EQ(u.MemoA->toPlainText(), QStringLiteral("Album\nna dva řádky"));
}

TEST_F(CaptionFileTest, PhotosSharingASectionNameAreWarnedOfAndKeptApart)
{
    folder = makeAlbum(QStringLiteral("Dvojice"), {"a.jpg", "A.JPG", "b.jpg"});
    open(folder);
    ASSERT_EQ(dialogs.warnings.size(), 1);
    EXPECT_TRUE(dialogs.warnings[0].contains(QStringLiteral("A.JPG, a.jpg"))) << dialogs.warnings[0].toStdString();
    const auto& t = form->album().tableForTest();
    const int lower = t.Get(Field::FileName, 0) == QStringLiteral("a.jpg") ? 0 : 1;
    form->album().tableForTest().Set(Field::Title, lower, QStringLiteral("malé"));
    form->album().tableForTest().Set(Field::Title, 1 - lower, QStringLiteral("VELKÉ"));
    save();

    open(folder);
    EXPECT_EQ(dialogs.warnings.size(), 2) << "warned again at the next Open";
    EXPECT_EQ(t.Get(Field::Title, lower), QStringLiteral("malé"));
    EXPECT_EQ(t.Get(Field::Title, 1 - lower), QStringLiteral("VELKÉ"));
}

TEST_F(CaptionFileTest, ShortAndUnholdableFileNamesReadBackTheirOwnCaptions)
{
    folder = makeAlbum(QStringLiteral("Jmena"), {".jpg", "Σ.jpg", "ab.jpg"});
    open(folder);
    auto& t = form->album().tableForTest();
    for (int r = 0; r < 3; ++r)
        t.Set(Field::Title, r, QStringLiteral("titulek %1").arg(t.Get(Field::FileName, r)).replace(u'Σ', u'S'));
    save();
    EXPECT_TRUE(takeErrors().isEmpty());
    EXPECT_TRUE(dialogs.messages.empty());

    open(folder);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(t.Get(Field::Title, r), QStringLiteral("titulek %1").arg(t.Get(Field::FileName, r)).replace(u'Σ', u'S'));
}

TEST_F(CaptionFileTest, LineBreaksInSingleLineCaptionsBecomeBlanksInTheFile)
{
    open(albumWithCaptions({"a.jpg"}, QString()));
    form->album().tableForTest().Set(Field::Title, 0, QStringLiteral("vložený\r\ntext"));
    ui().EditAName->setText(QStringLiteral("Tatry\n2004"));
    save();
    const QByteArray bytes = captionBytes();
    EXPECT_TRUE(bytes.contains("name=Tatry 2004\r\n")) << bytes.toStdString();
    EXPECT_TRUE(bytes.contains(cp1250(QStringLiteral("title=vložený text\r\n")))) << bytes.toStdString();
}

TEST_F(CaptionFileTest, CaptionFieldsRefuseWhatTheFileCannotHold)
{
    open(albumWithCaptions({"a.jpg"}, QString()));
    auto& u = ui();
    const int beeps = dialogs.beeps;
    typeText(u.EditFTitle, QStringLiteral("Řím∑"));
    typeText(u.MemoF, QStringLiteral("α"));
    EXPECT_EQ(u.EditFTitle->text(), QStringLiteral("Řím"));
    EXPECT_TRUE(u.MemoF->toPlainText().isEmpty());
    EXPECT_EQ(dialogs.beeps, beeps + 2);

    QApplication::clipboard()->setText(QStringLiteral("vložit Ω"));
    u.MemoA->paste();
    u.EditADate->paste();
    EXPECT_TRUE(u.MemoA->toPlainText().isEmpty());
    EXPECT_TRUE(u.EditADate->text().isEmpty());
    EXPECT_EQ(dialogs.beeps, beeps + 4);

    QApplication::clipboard()->setText(QStringLiteral("čeština"));
    u.MemoA->paste();
    EXPECT_EQ(u.MemoA->toPlainText(), QStringLiteral("čeština"));
    EXPECT_EQ(dialogs.beeps, beeps + 4);
}
