// The "Úpravy" menu through the real window: captions carried over from the previous photo, the
// count of captioned photos in the status bar, and the next photo without a title.
#include "MainWindowFixture.h"

#include "support/JpegWriter.h"
#include "ui/commands/EditCommands.h"

#include <QMenuBar>
#include <QTest>

using album::Field;

class EditCommandsTest : public MainWindowTest {
protected:
    EditCommands& commands() { return form->editCommands(); }

    // An album of `titles.size()` photos whose "info.txt" gives them these titles.
    void openTitled(const QStringList& titles)
    {
        QStringList photos;
        QString info = QStringLiteral("[head]\r\nname=Alb\r\n");
        for (int i = 0; i < titles.size(); ++i) {
            photos << QStringLiteral("p%1.jpg").arg(i);
            info += QStringLiteral("[p%1]\r\ntitle=%2\r\n").arg(i).arg(titles[i]);
        }
        const QString folder = makeAlbum(QStringLiteral("Alb"), photos);
        writeBytes(folder + QStringLiteral("/info.txt"), cp1250(info));
        open(folder);
    }
};

TEST_F(EditCommandsTest, TheMenuSitsBetweenFileAndSettingsWithShortcutsOfItsOwn)
{
    QStringList menus;
    for (QAction* action : form->menuBar()->actions())
        if (action->isVisible())
            menus << action->text();
    EXPECT_EQ(menus, (QStringList{"&Soubor", "Ú&pravy", "&Zobrazit", "&Konfigurace", "&Nápověda"}));
    QList<QKeySequence> seen;
    for (QAction* action : form->findChildren<QAction*>()) {
        for (const QKeySequence& keys : action->shortcuts()) {
            EXPECT_FALSE(seen.contains(keys)) << keys.toString().toStdString() << " twice";
            seen << keys;
        }
    }
    EXPECT_TRUE(seen.contains(QKeySequence(QStringLiteral("Ctrl+B"))));
    EXPECT_TRUE(seen.contains(QKeySequence(QStringLiteral("Ctrl+N"))));
    EXPECT_FALSE(commands().carryOverAction()->isEnabled()) << "no album";
    EXPECT_FALSE(commands().nextUndoneAction()->isEnabled()) << "no album";
}

TEST_F(EditCommandsTest, CarryingOverTypesThePreviousCaptionsAndUndoTakesThemBack)
{
    openTitled({"", "", ""});
    EXPECT_FALSE(commands().carryOverAction()->isEnabled()) << "the first photo has none before it";
    typeText(ui().EditFTitle, QStringLiteral("Štrbské pleso"));
    typeText(ui().MemoF, QStringLiteral("Ráno \"nad\" plesem"));
    ui().BitBtnNext->click();
    form->MenuSaveClick();
    ASSERT_FALSE(form->album().state().Modified);
    ASSERT_TRUE(commands().carryOverAction()->isEnabled());

    commands().carryOverAction()->trigger();
    EXPECT_EQ(ui().EditFTitle->text(), QStringLiteral("Štrbské pleso"));
    EXPECT_EQ(ui().MemoF->toPlainText(), QStringLiteral("Ráno \"nad\" plesem"));
    EXPECT_EQ(form->album().table().Get(Field::Title, 1), QStringLiteral("Štrbské pleso"));
    EXPECT_EQ(form->album().table().Get(Field::Description, 1), QStringLiteral("Ráno \"nad\" plesem"));
    EXPECT_TRUE(form->album().state().Modified);
    EXPECT_TRUE(ui().MenuSave->isEnabled());

    // The fields' own undo takes each back, into the row too.
    ui().EditFTitle->undo();
    ui().MemoF->undo();
    EXPECT_EQ(ui().EditFTitle->text(), QString());
    EXPECT_EQ(form->album().table().Get(Field::Title, 1), QString());
    EXPECT_EQ(form->album().table().Get(Field::Description, 1), QString());
    EXPECT_EQ(form->album().table().Get(Field::Title, 0), QStringLiteral("Štrbské pleso")) << "the previous photo keeps its own";
}

TEST_F(EditCommandsTest, TheStatusBarCountsCaptionedPhotosAsTheyChange)
{
    openTitled({"Chata", "", "Štít"});
    EXPECT_EQ(commands().progressText(), QStringLiteral("Popsáno 2 z 3"));
    ui().BitBtnNext->click();
    typeText(ui().EditFTitle, QStringLiteral("Les"));
    EXPECT_EQ(commands().progressText(), QStringLiteral("Popsáno 3 z 3"));
    typeText(ui().EditFTitle, QStringLiteral("y"));
    EXPECT_EQ(commands().progressText(), QStringLiteral("Popsáno 3 z 3")) << "a longer title counts once";
    ui().EditFTitle->clear();
    EXPECT_EQ(commands().progressText(), QStringLiteral("Popsáno 2 z 3"));

    // While a save runs, the status bar shows the save's progress instead.
    QString during;
    dialogs.saveFileResult(albums.file(QStringLiteral("jinam/x.txt")));  // a folder that is not there
    dialogs.duringNextModal([] {});  // the Save As dialog
    dialogs.duringNextModal([&] { during = commands().progressText(); });  // the save's failure box
    ui().MenuSaveAs->trigger();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(during, QString());
    EXPECT_EQ(commands().progressText(), QStringLiteral("Popsáno 2 z 3"));

    // Another album is counted afresh; no album, no count.
    form->album().state().Modified = false;
    openTitled({"", "", "", "x"});
    EXPECT_EQ(commands().progressText(), QStringLiteral("Popsáno 1 z 4"));
    dialogs.answerQuestion(false);
    open(albums.makeFolder(QStringLiteral("prazdna")));
    EXPECT_EQ(commands().progressText(), QString());
}

TEST_F(EditCommandsTest, NextUndoneGoesRoundToTheNextPhotoWithoutATitle)
{
    openTitled({"a", "", "c", ""});
    QAction* next = commands().nextUndoneAction();
    ASSERT_TRUE(next->isEnabled());
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    // Ctrl+N from whatever field the cursor is in: the cursor goes into the title to type.
    const std::pair<QWidget*, const char*> steps[] = {
        {ui().EditFName, "2/4"}, {ui().SpinEditJump, "4/4"}, {ui().EditAName, "2/4"}};
    for (const auto& [field, counter] : steps) {
        SCOPED_TRACE(field->objectName().toStdString());
        field->setFocus();
        QTest::keyClick(field, Qt::Key_N, Qt::ControlModifier);
        EXPECT_EQ(ui().LabelFoto->text(), QLatin1String(counter)) << "round past the last photo";
        EXPECT_TRUE(ui().EditFTitle->hasFocus());
    }
    EXPECT_EQ(ui().EditFName->text(), QStringLiteral("p1")) << "the fields follow the move";

    typeText(ui().EditFTitle, QStringLiteral("b"));
    ui().BitBtnLast->click();
    typeText(ui().EditFTitle, QStringLiteral("d"));
    next->trigger();
    EXPECT_EQ(ui().LabelFoto->text(), QStringLiteral("4/4"));
    EXPECT_EQ(dialogs.notices, QStringList{QStringLiteral("Všechny ostatní fotky už mají nadpis.")});
}

TEST_F(EditCommandsTest, DatesFromExifAfterAQuestionThatCountsThem)
{
    const QString folder = makeAlbum(QStringLiteral("Exif"), {"p0.jpg", "p1.jpg", "p2.jpg"});
    const QByteArray jpeg = writeJpegBytes(64, 48);
    writeBytes(folder + QStringLiteral("/p0.jpg"), withExifDates(jpeg, "2003:07:14 10:00:00", ""));
    writeBytes(folder + QStringLiteral("/p2.jpg"), withExifDates(jpeg, "2004:01:15 08:00:00", ""));  // the date it has
    for (const char* name : {"p0.jpg", "p2.jpg"})
        setModificationTime(folder + u'/' + QLatin1String(name), QDateTime(QDate(2004, 1, 15), QTime(12, 0)));
    open(folder);
    form->MenuSaveClick();
    QAction* exif = form->editCommands().exifDatesAction();
    ASSERT_TRUE(exif->isEnabled());

    dialogs.answerQuestion(false);
    exif->trigger();
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].text, QStringLiteral("Datum pořízení podle EXIF dostane 1 z 3 fotek; ostatní si "
                                                        "svá data ponechají. Pokračovat?"));
    EXPECT_EQ(form->album().table().Get(Field::Date, 0), QStringLiteral("15.1.2004")) << "No changes nothing";
    EXPECT_FALSE(form->album().state().Modified);

    dialogs.answerQuestion(true);
    exif->trigger();
    EXPECT_EQ(form->album().table().Get(Field::Date, 0), QStringLiteral("14.7.2003"));
    EXPECT_EQ(ui().EditFdate->text(), QStringLiteral("14.7.2003")) << "the photo shown shows it";
    EXPECT_EQ(form->album().table().Get(Field::Date, 1), QStringLiteral("15.1.2004")) << "no EXIF: kept";
    EXPECT_EQ(form->album().table().Get(Field::Date, 2), QStringLiteral("15.1.2004"));
    EXPECT_TRUE(form->album().state().Modified);

    // Nothing left to change, and never while the dates are bound to the album's.
    exif->trigger();
    ui().CheckBoxDate->setChecked(true);
    exif->trigger();
    EXPECT_EQ(dialogs.notices.size(), 2);
    EXPECT_EQ(dialogs.questions.size(), 2u);
}

TEST_F(EditCommandsTest, DatesFromExifSayHowManyDatesWrittenByHandTheyReplace)
{
    // Six photos taken 14.7.2003, their files dated 15.1.2004. A date other than the file's own
    // was written by someone ("léto 2023"): the question says how many of those go.
    const std::pair<int, const char*> cases[] = {
        {0, ""},
        {1, "z toho 1 ručně zapsané datum se přepíše; "},
        {2, "z toho 2 ručně zapsaná data se přepíšou; "},
        {5, "z toho 5 ručně zapsaných dat se přepíše; "},
    };
    const QByteArray jpeg = withExifDates(writeJpegBytes(64, 48), "2003:07:14 10:00:00", "");
    for (const auto& [typed, says] : cases) {
        SCOPED_TRACE(typed);
        const QString folder = albums.makeFolder(QStringLiteral("Exif%1").arg(typed));
        QString info = QStringLiteral("[head]\r\nname=Exif\r\n");
        for (int i = 0; i < 6; ++i) {
            const QString photo = folder + QStringLiteral("/p%1.jpg").arg(i);
            writeBytes(photo, jpeg);
            setModificationTime(photo, QDateTime(QDate(2004, 1, 15), QTime(12, 0)));
            info += QStringLiteral("[p%1]\r\ndate=%2\r\n").arg(i).arg(i < typed ? QStringLiteral("léto 2023") : QString());
        }
        writeBytes(folder + QStringLiteral("/info.txt"), cp1250(info));
        if (form->album().state().Modified)
            dialogs.answerQuestion(false);  // the album before, asked about at Open
        open(folder);
        dialogs.questions.clear();
        dialogs.answerQuestion(true);
        form->editCommands().exifDatesAction()->trigger();
        ASSERT_EQ(dialogs.questions.size(), 1u);
        EXPECT_EQ(dialogs.questions[0].text,
                  QStringLiteral("Datum pořízení podle EXIF dostane 6 z 6 fotek; %1ostatní si svá data ponechají. "
                                 "Pokračovat?").arg(QString::fromUtf8(says)));
        EXPECT_EQ(form->album().table().Get(Field::Date, 0), QStringLiteral("14.7.2003"));
    }
}
