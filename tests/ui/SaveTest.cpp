// Saving: Save, Save As, the save offered by Open and by closing, and autosave with its fallback
// to the temporary folder. Files are compared byte for byte.
#include "MainWindowFixture.h"

#include <QTest>
#include <sys/mount.h>

using album::Field;

namespace {

// The temporary folder the program sees, for one test.
class TemporaryFolderOverride {
public:
    explicit TemporaryFolderOverride(const QString& folder) : saved_(qgetenv("TMPDIR"))
    {
        qputenv("TMPDIR", folder.toLocal8Bit());
    }
    ~TemporaryFolderOverride() { qputenv("TMPDIR", saved_); }

private:
    QByteArray saved_;
};

}  // namespace

class SaveTest : public MainWindowTest {
protected:
    // A two-photo album "Tatry" (photos a.jpg, b.jpg dated 15.1.2004) opened and captioned.
    void openCaptioned(const QString& albumFolder)
    {
        folder = albumFolder;
        open(folder);
        form->album().tableForTest().Set(Field::Title, 1, QStringLiteral("Štít"));
        typeText(ui().EditFTitle, QStringLiteral("Chata"));
    }

    QString makePhotos(const QString& where)
    {
        for (const char* name : {"a.jpg", "b.jpg"}) {
            writeJpeg(where + u'/' + QLatin1String(name), 32, 24);
            setModificationTime(where + u'/' + QLatin1String(name), QDateTime(QDate(2004, 1, 15), QTime(12, 0)));
        }
        return where;
    }

    // What "info.txt" holds for the captioned album.
    QByteArray expectedCaptions(const QString& albumName)
    {
        return cp1250(QStringLiteral("[head]\r\nname=%1\r\ndate=15.1.2004\r\ndesc=\r\nrights=0\r\n"
                                     "[a]\r\ntitle=Chata\r\nname=a\r\ndate=15.1.2004\r\ndesc=\r\nrights=0\r\n"
                                     "[b]\r\ntitle=Štít\r\nname=b\r\ndate=15.1.2004\r\ndesc=\r\nrights=0\r\n")
                          .arg(albumName));
    }

    QString file(const QString& name) const { return folder + u'/' + name; }

    void tick()
    {
        form->album().state().AutoSave = true;
        form->album().Timer1Timer();
    }

    QString folder;
};

TEST_F(SaveTest, SaveWritesExactlyThisAlbumAndRemovesTheAutosaveFile)
{
    folder = makeAlbum(QStringLiteral("Tatry"), {"a.jpg", "b.jpg"});
    writeBytes(file(QStringLiteral("info.txt")), cp1250(QStringLiteral("; stará poznámka\r\n[head]\r\nname=Tatry\r\ndate=15.1.2004\r\n[stara]\r\ntitle=pryč\r\n")));
    openCaptioned(folder);
    writeBytes(file(QStringLiteral("~info.txt")), "autosave");
    ui().MenuSave->trigger();

    EXPECT_EQ(readBytes(file(QStringLiteral("info.txt"))), expectedCaptions(QStringLiteral("Tatry")))
        << "nothing of the old file is left";
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("~info.txt"))));
    EXPECT_FALSE(form->album().state().Modified);
    EXPECT_FALSE(ui().MenuSave->isEnabled());
    EXPECT_FALSE(ui().TBSave->isEnabled());
    EXPECT_TRUE(ui().MenuSaveAs->isEnabled()) << "Save As stays available";
    EXPECT_TRUE(form->statusText().isEmpty());
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(SaveTest, FailedSaveLeavesTheOldFileAndTheAutosaveFileWhole)
{
    const QString medium = albums.makeFolder(QStringLiteral("cd"));
    Tmpfs mount(medium, 0, "1m");
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here: " << mount.error();
    folder = makePhotos(medium);
    const QByteArray old = cp1250(QStringLiteral("[head]\r\nname=Původní\r\n[a]\r\ntitle=Stará chata\r\n"));
    writeBytes(file(QStringLiteral("info.txt")), old);
    openCaptioned(folder);
    writeBytes(file(QStringLiteral("~info.txt")), "autosave");
    ASSERT_TRUE(mount.remountReadOnly());

    ui().MenuSave->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Soubor %1/info.txt nelze zapsat").arg(folder));
    EXPECT_EQ(readBytes(file(QStringLiteral("info.txt"))), old);
    EXPECT_EQ(readBytes(file(QStringLiteral("~info.txt"))), QByteArray("autosave")) << "the only other copy stays";
    EXPECT_TRUE(form->album().state().Modified);
    EXPECT_TRUE(ui().MenuSave->isEnabled());
    EXPECT_TRUE(form->statusText().isEmpty());
    EXPECT_EQ(form->cursor().shape(), Qt::ArrowCursor);
    ASSERT_TRUE(mount.remountWritable());
}

TEST_F(SaveTest, FullDiskDuringSaveLeavesTheOldFileWhole)
{
    const QString disk = albums.makeFolder(QStringLiteral("disk"));
    Tmpfs mount(disk, 0, "256k");
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here: " << mount.error();
    folder = makePhotos(disk);
    const QByteArray old = cp1250(QStringLiteral("[head]\r\nname=Původní\r\n"));
    writeBytes(file(QStringLiteral("info.txt")), old);
    openCaptioned(folder);
    form->album().tableForTest().Set(Field::Description, 0, QString(300000, u'x'));  // more than the disk has left
    fillDisk(folder);
    ui().MenuSave->trigger();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(readBytes(file(QStringLiteral("info.txt"))), old);
    EXPECT_TRUE(form->album().state().Modified);
}

TEST_F(SaveTest, SaveAsWritesAnywhereKeepsOtherSectionsAndLeavesSaveAvailable)
{
    openCaptioned(makeAlbum(QStringLiteral("Tatry"), {"a.jpg", "b.jpg"}));
    const QString chosen = albums.file(QStringLiteral("vyber"));
    const QByteArray other = cp1250(QStringLiteral("[jine]\r\ntitle=zůstane\r\n"));
    writeBytes(chosen + QStringLiteral(".txt"), other);
    // The file exists: asked first. No shows the picker again at that file; cancelling it
    // leaves the file byte for byte.
    dialogs.saveFileResult(chosen);
    dialogs.answerQuestion(false);
    dialogs.saveFileResult(std::nullopt);
    ui().MenuSaveAs->trigger();
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions[0].caption, QStringLiteral("Uložit jako"));
    EXPECT_EQ(dialogs.questions[0].text, QStringLiteral("Soubor %1.txt již existuje.\nChcete ho přepsat?").arg(chosen));
    ASSERT_EQ(dialogs.saveRequests.size(), 2u);
    EXPECT_EQ(dialogs.saveRequests[1].initialName, chosen + QStringLiteral(".txt"));
    EXPECT_EQ(readBytes(chosen + QStringLiteral(".txt")), other);

    // Yes writes into it. A new file is written without a question.
    dialogs.saveRequests.clear();
    dialogs.saveFileResult(chosen);
    dialogs.answerQuestion(true);
    ui().MenuSaveAs->trigger();
    EXPECT_EQ(dialogs.questions.size(), 2u);
    dialogs.saveFileResult(albums.file(QStringLiteral("nova.txt")));
    ui().MenuSaveAs->trigger();
    EXPECT_EQ(dialogs.questions.size(), 2u);
    EXPECT_EQ(readBytes(albums.file(QStringLiteral("nova.txt"))), expectedCaptions(QStringLiteral("Tatry")));

    ASSERT_EQ(dialogs.saveRequests.size(), 2u);
    const auto& request = dialogs.saveRequests[0];
    EXPECT_EQ(request.initialFolder, folder);
    EXPECT_TRUE(request.initialName.isEmpty());
    EXPECT_EQ(request.filterDescription, QStringLiteral("Albisko Fotek"));
    EXPECT_EQ(request.filterPattern, QStringLiteral("txt"));
    EXPECT_EQ(readBytes(chosen + QStringLiteral(".txt")),
              cp1250(QStringLiteral("[jine]\r\ntitle=zůstane\r\n")) + expectedCaptions(QStringLiteral("Tatry")));
    EXPECT_TRUE(form->album().state().Modified) << "only a save to info.txt clears it";
    EXPECT_TRUE(ui().MenuSave->isEnabled());

    // The next Save As shows the path chosen last; cancelling writes nothing.
    dialogs.saveFileResult(std::nullopt);
    ui().MenuSaveAs->trigger();
    EXPECT_EQ(dialogs.saveRequests[2].initialName, albums.file(QStringLiteral("nova.txt")));
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("info.txt"))));
}

TEST_F(SaveTest, SaveAsIntoAVanishedFolderSaysWhichFile)
{
    openCaptioned(makeAlbum(QStringLiteral("Tatry"), {"a.jpg", "b.jpg"}));
    const QString target = albums.file(QStringLiteral("zmizela/popisky.txt"));
    dialogs.saveFileResult(target);
    ui().MenuSaveAs->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Soubor %1 nelze zapsat").arg(target));
    EXPECT_TRUE(form->album().state().Modified);
}

TEST_F(SaveTest, OpenOffersToSaveAndKeepsTheFilesOtherSections)
{
    folder = makeAlbum(QStringLiteral("Tatry"), {"a.jpg", "b.jpg"});
    writeBytes(file(QStringLiteral("info.txt")), cp1250(QStringLiteral("[head]\r\nname=Tatry\r\ndate=15.1.2004\r\n[stara]\r\ntitle=zůstane\r\n")));
    openCaptioned(folder);
    writeBytes(file(QStringLiteral("~info.txt")), "autosave");

    dialogs.answerQuestion(true);
    open(makeAlbum(QStringLiteral("Dalsi"), {"x.jpg"}));
    const QByteArray saved = readBytes(file(QStringLiteral("info.txt")));
    EXPECT_TRUE(saved.startsWith(cp1250(QStringLiteral("[head]\r\nname=Tatry\r\ndate=15.1.2004\r\n"))));
    EXPECT_TRUE(saved.contains(cp1250(QStringLiteral("[stara]\r\ntitle=zůstane\r\n"))));
    EXPECT_TRUE(saved.contains(cp1250(QStringLiteral("[a]\r\ntitle=Chata\r\n"))));
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("~info.txt"))));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Dalsi - Albisko"));
}

TEST_F(SaveTest, AFailedOfferedSaveKeepsTheAutosaveFile)
{
    const QString medium = albums.makeFolder(QStringLiteral("cd"));
    Tmpfs mount(medium, 0, "1m");
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here: " << mount.error();
    openCaptioned(makePhotos(medium));
    writeBytes(file(QStringLiteral("~info.txt")), "autosave");
    ASSERT_TRUE(mount.remountReadOnly());

    dialogs.answerQuestion(true);
    form->close();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(QFile::exists(file(QStringLiteral("~info.txt"))));
    ASSERT_TRUE(mount.remountWritable());
}

// On a full medium that is still writable (so that deleting would work), a save that fails
// must leave the autosave file: it may be the only copy of what was typed. Save, the save offered
// by Open and the one offered by closing alike.
TEST_F(SaveTest, AFailedSaveOnAFullDiskKeepsTheAutosaveFile)
{
    const std::vector<std::pair<const char*, std::function<void()>>> saves{
        {"Save", [this] { ui().MenuSave->trigger(); }},
        {"offered by Open",
         [this] {
             dialogs.answerQuestion(true);
             ui().MenuOpen->trigger();  // stops after the failed save: no folder picker
         }},
        {"offered by closing",
         [this] {
             dialogs.answerQuestion(true);
             form->close();
         }},
    };
    for (const auto& [name, save] : saves) {
        SCOPED_TRACE(name);
        const QString disk = albums.makeFolder(QStringLiteral("plny-%1").arg(QString::fromLatin1(name).section(u' ', -1)));
        Tmpfs mount(disk, 0, "256k");
        if (!mount.mounted())
            GTEST_SKIP() << "cannot mount a tmpfs here: " << mount.error();
        openCaptioned(makePhotos(disk));
        writeBytes(file(QStringLiteral("~info.txt")), "autosave");
        fillDisk(folder);
        save();
        EXPECT_EQ(dialogs.messages.size(), 1u);
        dialogs.messages.clear();
        EXPECT_EQ(readBytes(file(QStringLiteral("~info.txt"))), QByteArray("autosave"));
        EXPECT_FALSE(QFile::exists(file(QStringLiteral("info.txt"))));
        EXPECT_TRUE(form->album().state().Modified);
        form->album().state().Modified = false;  // the next round opens its own album without a question
    }
}

// Any single edit after a save makes Save available again and is asked about at closing: each
// caption field as the user types into it, the rights switch, and the date binding whenever it
// changes a photo's date (here the other photo's, not the one shown). The rights fields store
// without marking, as the hidden fields of this build do.
TEST_F(SaveTest, EveryEditMarksTheAlbumModified)
{
    folder = makeAlbum(QStringLiteral("Tatry"), {"a.jpg", "b.jpg"});
    setModificationTime(file(QStringLiteral("b.jpg")), QDateTime(QDate(2004, 2, 2), QTime(12, 0)));
    openCaptioned(folder);
    const auto saved = [this] {
        ui().MenuSave->trigger();
        return !form->album().state().Modified && !ui().MenuSave->isEnabled();
    };
    const std::vector<std::pair<QWidget*, QString>> edits{
        {ui().EditAName, QStringLiteral("x")},  {ui().EditADate, QStringLiteral("1")},
        {ui().MemoA, QStringLiteral("x")},      {ui().EditFTitle, QStringLiteral("x")},
        {ui().EditFName, QStringLiteral("x")},  {ui().EditFdate, QStringLiteral("1")},
        {ui().MemoF, QStringLiteral("x")},
    };
    for (const auto& [field, typed] : edits) {
        SCOPED_TRACE(field->objectName().toStdString());
        ASSERT_TRUE(saved());
        field->setFocus();
        typeText(field, typed);
        EXPECT_TRUE(form->album().state().Modified);
        EXPECT_TRUE(ui().MenuSave->isEnabled());
    }

    ui().EditADate->setText(QStringLiteral("15.1.2004"));
    ui().EditFdate->setText(QStringLiteral("15.1.2004"));  // photo a, shown: its date stays as it is
    for (QCheckBox* box : {ui().CheckBoxRights, ui().CheckBoxDate, ui().CheckBoxDate}) {
        SCOPED_TRACE(box->objectName().toStdString());
        ASSERT_TRUE(saved());
        QTest::mouseClick(box, Qt::LeftButton);
        EXPECT_TRUE(form->album().state().Modified);
        EXPECT_TRUE(ui().MenuSave->isEnabled());
    }

    ASSERT_TRUE(saved());
    typeText(ui().SpinEditF->lineEdit(), QStringLiteral("7"));
    EXPECT_FALSE(form->album().state().Modified);
    typeText(ui().EditFTitle, QStringLiteral("y"));
    dialogs.answerQuestion(false);
    form->close();
    EXPECT_EQ(dialogs.questions.size(), 1u) << "closing asks about the last edit";
}

// While a save runs, the status bar shows a dot for every photo written; read while the failure
// box of a save that failed at its end is open, it shows them all, however few the photos.
TEST_F(SaveTest, TheStatusShowsADotPerPhotoWritten)
{
    const QString disk = albums.makeFolder(QStringLiteral("tecky"));
    Tmpfs mount(disk, 0, "256k");
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here: " << mount.error();
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"})
        writeJpeg(disk + u'/' + QLatin1String(name), 32, 24);
    openCaptioned(disk);
    fillDisk(disk);
    QString during;
    dialogs.duringNextModal([&] { during = form->statusText(); });
    ui().MenuSave->trigger();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(during, QStringLiteral("Probíhá ukládání...") + QStringLiteral("..."));
    EXPECT_TRUE(form->statusText().isEmpty()) << "cleared once the save is over";
}

TEST_F(SaveTest, ClosingWithYesSavesAndWithNoGivesTheChangesUp)
{
    openCaptioned(makeAlbum(QStringLiteral("Tatry"), {"a.jpg", "b.jpg"}));
    writeBytes(file(QStringLiteral("~info.txt")), "autosave");
    dialogs.answerQuestion(true);
    form->close();
    EXPECT_EQ(readBytes(file(QStringLiteral("info.txt"))), expectedCaptions(QStringLiteral("Tatry")));
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("~info.txt"))));
}

TEST_F(SaveTest, AutosaveWritesEveryTickWithoutTouchingModified)
{
    openCaptioned(makeAlbum(QStringLiteral("Tatry"), {"a.jpg", "b.jpg"}));
    form->album().state().AutoSave = false;
    form->album().Timer1Timer();
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("~info.txt")))) << "autosave is off";

    tick();
    EXPECT_EQ(readBytes(file(QStringLiteral("~info.txt"))), expectedCaptions(QStringLiteral("Tatry")));
    EXPECT_TRUE(form->album().state().Modified);
    EXPECT_TRUE(ui().MenuSave->isEnabled());

    ui().MenuSave->trigger();
    tick();
    EXPECT_TRUE(QFile::exists(file(QStringLiteral("~info.txt")))) << "ticks do not look at Modified";
}

TEST_F(SaveTest, TicksDoNothingWithoutAnAlbumOrWhileOpenIsUnderWay)
{
    form->album().state().AutoSave = true;
    form->album().Timer1Timer();  // no album: nothing to write anywhere
    EXPECT_FALSE(QFile::exists(work.file(QStringLiteral("~info.txt"))));

    folder = makeAlbum(QStringLiteral("Tatry"), {"a.jpg", "b.jpg"});
    openCaptioned(folder);
    ui().MenuSave->trigger();
    dialogs.duringNextModal([this] { form->album().Timer1Timer(); });  // the folder picker is open
    open(makeAlbum(QStringLiteral("Dalsi"), {"x.jpg"}));
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("~info.txt")))) << "the previous album's file is not made again";
}

TEST_F(SaveTest, TicksRunWhileOtherBoxesAreOpen)
{
    openCaptioned(makeAlbum(QStringLiteral("Tatry"), {"a.jpg", "b.jpg"}));
    form->album().state().AutoSave = true;
    dialogs.duringNextModal([this] { form->album().Timer1Timer(); });  // the Save As dialog is open
    dialogs.saveFileResult(std::nullopt);
    ui().MenuSaveAs->trigger();
    EXPECT_EQ(readBytes(file(QStringLiteral("~info.txt"))), expectedCaptions(QStringLiteral("Tatry")));
}

TEST_F(SaveTest, AutosaveFallsBackToTheTemporaryFolderWhenTheAlbumCannotBeWritten)
{
    const QString medium = albums.makeFolder(QStringLiteral("Dovolena"));
    Tmpfs album(medium, 0, "1m");
    const QString temp = albums.makeFolder(QStringLiteral("temp"));
    Tmpfs tempMount(temp, 0, "1m");
    if (!album.mounted() || !tempMount.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here: " << album.error() << tempMount.error();
    openCaptioned(makePhotos(medium));
    ASSERT_TRUE(album.remountReadOnly());
    TemporaryFolderOverride tmp(temp);

    tick();
    EXPECT_TRUE(dialogs.messages.empty()) << "silent while the temporary folder takes it";
    EXPECT_EQ(readBytes(temp + QStringLiteral("/~Dovolena.txt")), expectedCaptions(QStringLiteral("Dovolena")));
    EXPECT_EQ(form->album().state().AutosaveDir, temp + u'/');
    EXPECT_EQ(form->album().state().AutosaveName, QStringLiteral("~info.txt"));
    EXPECT_FALSE(QFile::exists(temp + QStringLiteral("/~info.txt")));

    form->album().tableForTest().Set(Field::Title, 0, QStringLiteral("Později"));
    tick();
    EXPECT_TRUE(readBytes(temp + QStringLiteral("/~info.txt")).contains("title=Pozd"));
    EXPECT_FALSE(readBytes(temp + QStringLiteral("/~Dovolena.txt")).contains("title=Pozd")) << "written once only";

    // The temporary folder fails too: the fallback tries "~.txt" there, and says so.
    ASSERT_TRUE(tempMount.remountReadOnly());
    tick();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Soubor %1/~.txt nelze zapsat").arg(temp));

    // Closing deletes the autosave file where autosave now writes; the one-off file stays.
    ASSERT_TRUE(tempMount.remountWritable());
    dialogs.answerQuestion(false);
    form->close();
    EXPECT_FALSE(QFile::exists(temp + QStringLiteral("/~info.txt")));
    EXPECT_TRUE(QFile::exists(temp + QStringLiteral("/~Dovolena.txt")));
    ASSERT_TRUE(album.remountWritable());
}
