// Every path by which typed captions could be lost or silently changed: caption files in the
// writer's own layout, the autosave file after a crash, saves that fail, long captions, files
// that cannot be read. Files are compared byte for byte.
#include "MainWindowFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using album::Field;


namespace {

// Text with "\n" line ends as a caption file holds it: Windows-1250 with CR LF.
QByteArray fileText(const QString& text)
{
    QString crlf = text;
    crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return cp1250(crlf);
}

QByteArray utf8WithBom(const QString& text)
{
    QString crlf = text;
    crlf.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return "\xEF\xBB\xBF" + crlf.toUtf8();
}

// One photo's section as the writer writes it.
QString section(const QString& key, const QString& title, const QString& name, const QString& desc = QString())
{
    return QStringLiteral("[%1]\ntitle=%2\nname=%3\ndate=15.1.2004\ndesc=%4\nrights=0\n").arg(key, title, name, desc);
}

QString head(const QString& name, const QString& desc = QString())
{
    return QStringLiteral("[head]\nname=%1\ndate=15.1.2004\ndesc=%2\nrights=0\n").arg(name, desc);
}

}  // namespace

class NothingLostTest : public MainWindowTest {
protected:
    QString info(const QString& folder) const { return folder + QStringLiteral("/info.txt"); }
    QString autosave(const QString& folder) const { return folder + QStringLiteral("/~info.txt"); }

    // An album of a.jpg and b.jpg whose "info.txt" gives a.jpg the title "Uloženo".
    QString savedAlbum(const QString& name)
    {
        const QString folder = makeAlbum(name, {"a.jpg", "b.jpg"});
        writeBytes(info(folder), fileText(head(QStringLiteral("Hory")) + section("a", "Uloženo", "a") + section("b", "", "b")));
        setModificationTime(info(folder), QDateTime(QDate(2024, 5, 1), QTime(10, 0)));
        return folder;
    }
    // The same album's captions with a.jpg titled "Rozepsáno", as an autosave file left at `path`.
    void leaveAutosave(const QString& path, const QDateTime& when)
    {
        writeBytes(path, fileText(head(QStringLiteral("Hory")) + section("a", "Rozepsáno", "a") + section("b", "", "b")));
        setModificationTime(path, when);
    }
};

TEST_F(NothingLostTest, CaptionFilesInTheWritersLayoutOpenAndSaveByteForByte)
{
    // Each file is exactly what the writer writes for its album: opened, shown photo by photo
    // and saved, it must come back byte for byte, and showing it must change nothing.
    struct Case {
        const char* why;
        QStringList photos;
        QByteArray file;
    };
    const Case cases[] = {
        {"a title starting with an unclosed quote takes no other photo's captions",
         {"p1.jpg", "p2.jpg", "p3.jpg"},
         fileText(head(QStringLiteral("Výlet")) + section("p1", "Jedna", "p1") + section("p2", "\"Ahoj", "Dva")
                     + section("p3", "Monitor 24\"", "p3", "\"Popis\ntřetí\""))},
        {"titles with quotes keep them, and only those reading would strip are enclosed",
         {"a.jpg", "b.jpg", "c.jpg"},
         fileText(head(QStringLiteral("Uvozovky")) + section("a", "\"Ahoj,\" řekla Máňa", "a")
                     + section("b", "\"\"Sníh\"\"", "'Led")
                     + section("c", "\"'Led'\"", "c"))},
        {"photos sorting after a thumbnail keep their captions",
         {"a.jpg", "tn_a.jpg", "zahrada.jpg", "Vylet.jpg", "_z.jpg", "Čáp.jpg"},
         fileText(head(QStringLiteral("Zahrada")) + section("a", "A", "a") + section("Vylet", "Výlet", "Vylet")
                     + section("zahrada", "Zahrada", "zahrada") + section("_z", "Z", "_z")
                     + section("Čáp", "Čáp", "Čáp"))},
        {"a description over several lines, some looking like sections and entries",
         {"a.jpg", "b.jpg"},
         fileText(head(QStringLiteral("Řádky"), QStringLiteral("\"Album\nna dva řádky\""))
                     + section("a", "A", "a", QStringLiteral("\"první\n[b]\ntitle=podvrh\n\""))
                     + section("b", "B", "b"))},
        {"no-break spaces stay no-break spaces",
         {"a.jpg"},
         fileText(head(QStringLiteral("Praha"), QStringLiteral("\"v\u00A0Praze\"")) + section("a", "Most", "a", QStringLiteral("\"z\u00A0mostu\"")))},
        {"a name holding ] and names differing by blanks have their own sections",
         {"foto[1].jpg", " c.jpg", "c.jpg"},
         fileText(head(QStringLiteral("Závorky")) + section("c", "S mezerou", "S") + section("c.jpg", "Bez", "c")
                     + section("foto[1%5D", "Závorka", "foto[1]"))},
        {"a UTF-8 file with a byte-order mark keeps its encoding and what Windows-1250 cannot hold",
         {"Σ.jpg", "b.jpg"},
         utf8WithBom(head(QStringLiteral("Ελλάδα")) + section("b", "Beta", "b") + section("Σ", "Σίγμα 😀", "Σ", QStringLiteral("\"Αθήνα\""))) },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        const QString folder = makeAlbum(QString::number(&c - cases), c.photos);
        writeBytes(info(folder), c.file);
        open(folder);
        form->MenuSaveClick();
        EXPECT_EQ(readBytes(info(folder)), c.file);
        // Showing a photo again changes nothing; nor does showing every photo once.
        QTest::mouseClick(ui().BitBtnFirst, Qt::LeftButton);
        EXPECT_FALSE(form->album().state().Modified);
        for (int r = 1; r < form->album().table().RowCount(); ++r)
            QTest::mouseClick(ui().BitBtnNext, Qt::LeftButton);
        form->MenuSaveClick();
        EXPECT_EQ(readBytes(info(folder)), c.file);
        EXPECT_EQ(dialogs.beeps, 0);
        EXPECT_TRUE(dialogs.messages.empty());
    }
    dialogs.warnings.clear();  // " c.jpg" and "c.jpg" are warned of
}

TEST_F(NothingLostTest, AUtf8AlbumTakesWhatItsFileHoldsOnEverySavePath)
{
    const QString folder = makeAlbum(QStringLiteral("Řecko"), {"a.jpg"});
    writeBytes(info(folder), utf8WithBom(head(QStringLiteral("Ελλάδα")) + section("a", "Ακρόπολη", "a")));
    open(folder);
    typeText(ui().EditFTitle, QStringLiteral(" Ω"));
    typeText(ui().MemoF, QStringLiteral("Παρθενώνας"));
    EXPECT_EQ(dialogs.beeps, 0) << "the file holds them";
    form->album().state().AutoSave = true;
    form->album().Timer1Timer();
    const QString elsewhere = albums.file(QStringLiteral("kopie.txt"));
    dialogs.saveFileResult(elsewhere);
    ui().MenuSaveAs->trigger();
    form->MenuSaveClick();
    EXPECT_TRUE(dialogs.messages.empty());
    const QByteArray expected = utf8WithBom(head(QStringLiteral("Ελλάδα")) + section("a", "Ακρόπολη Ω", "a", QStringLiteral("\"Παρθενώνας\"")));
    EXPECT_EQ(readBytes(info(folder)), expected);
    EXPECT_EQ(readBytes(elsewhere), expected);
}

TEST_F(NothingLostTest, AnAutosaveFileWithOtherCaptionsIsOfferedBack)
{
    const QDateTime saved(QDate(2024, 5, 1), QTime(10, 0));
    struct Case {
        const char* why;
        bool inTemporaryFolder;  // the album could not be written: autosave went there
        bool captionFile;        // "info.txt" is there
        QDateTime autosaved;
        bool sameCaptions;
        bool asked;
    };
    const Case cases[] = {
        {"newer, other captions", false, true, saved.addSecs(600), false, true},
        {"in the temporary folder", true, true, saved.addSecs(600), false, true},
        {"no info.txt at all", false, false, saved, false, true},
        {"older than info.txt", false, true, saved.addSecs(-600), false, false},
        {"the same captions", false, true, saved.addSecs(600), true, false},
    };
    for (const bool yes : {true, false}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.why) + (yes ? ", Yes" : ", No"));
            const QString name = QStringLiteral("Hory%1%2").arg(&c - cases).arg(yes);
            const QString folder = savedAlbum(name);
            if (!c.captionFile)
                QFile::remove(info(folder));
            const QString path = c.inTemporaryFolder ? temp.file(u'~' + name + QStringLiteral(".txt")) : autosave(folder);
            if (c.sameCaptions)
                writeBytes(path, readBytes(info(folder)));
            else
                leaveAutosave(path, c.autosaved);
            setModificationTime(path, c.autosaved);
            const auto questions = dialogs.questions.size();
            if (c.asked)
                dialogs.answerQuestion(yes);
            open(folder);
            ASSERT_EQ(dialogs.questions.size(), questions + (c.asked ? 1 : 0));
            const bool restored = c.asked && yes;
            if (c.asked) {
                EXPECT_EQ(dialogs.questions.back().caption, QStringLiteral("Obnovit popisky?"));
                EXPECT_TRUE(dialogs.questions.back().text.contains(path)) << dialogs.questions.back().text.toStdString();
                EXPECT_TRUE(dialogs.questions.back().text.contains(platform::shortDate(c.autosaved)));
            }
            const QString savedTitle = c.captionFile ? QStringLiteral("Uloženo") : QString();
            EXPECT_EQ(form->album().table().Get(Field::Title, 0), restored ? QStringLiteral("Rozepsáno") : savedTitle);
            EXPECT_EQ(ui().EditFTitle->text(), form->album().table().Get(Field::Title, 0));
            if (restored) {
                EXPECT_TRUE(form->album().state().Modified);
                EXPECT_TRUE(ui().MenuSave->isEnabled());
            }
            EXPECT_TRUE(QFile::exists(path)) << "kept until the captions are saved";
            // A save to info.txt takes the restored captions; the album's autosave file goes.
            form->MenuSaveClick();
            EXPECT_EQ(readBytes(info(folder)).contains(cp1250(QStringLiteral("title=Rozepsáno"))), restored);
            EXPECT_FALSE(QFile::exists(autosave(folder)));
            QFile::remove(path);
        }
    }
}

TEST_F(NothingLostTest, AnAutosaveFileDifferingInAnyOneCaptionIsOfferedBack)
{
    // The album's and photo a's captions, one field at a time other in the autosave file.
    const QStringList saved{"Hory", "15.1.2004", "", "0", "Uloženo", "a", "15.1.2004", "", "0"};
    const QStringList other{"Doly", "1.1.2000", "\"Popis\"", "5", "Jinak", "Jiné", "1.1.2000", "\"Popis\"", "5"};
    const char* fields[] = {"album name", "album date", "album description", "album rights", "title",
                            "photo name", "photo date", "photo description", "photo rights"};
    const auto file = [](const QStringList& v) {
        return fileText(QStringLiteral("[head]\nname=%1\ndate=%2\ndesc=%3\nrights=%4\n").arg(v[0], v[1], v[2], v[3])
                        + QStringLiteral("[a]\ntitle=%1\nname=%2\ndate=%3\ndesc=%4\nrights=%5\n").arg(v[4], v[5], v[6], v[7], v[8]));
    };
    for (int field = 0; field < saved.size(); ++field) {
        SCOPED_TRACE(fields[field]);
        const QString folder = makeAlbum(QStringLiteral("Hory%1").arg(field), {"a.jpg"});
        writeBytes(info(folder), file(saved));
        setModificationTime(info(folder), QDateTime(QDate(2024, 5, 1), QTime(10, 0)));
        QStringList autosaved = saved;
        autosaved[field] = other[field];
        writeBytes(autosave(folder), file(autosaved));
        setModificationTime(autosave(folder), QDateTime(QDate(2024, 5, 1), QTime(10, 10)));
        const auto asked = dialogs.questions.size();
        dialogs.answerQuestion(false);
        open(folder);
        ASSERT_EQ(dialogs.questions.size(), asked + 1);
        EXPECT_EQ(dialogs.questions.back().caption, QStringLiteral("Obnovit popisky?"));
        EXPECT_FALSE(form->album().state().Modified) << "No keeps what info.txt holds";
    }
}

TEST_F(NothingLostTest, ADamagedAutosaveFileIsReportedAndTheAlbumOpens)
{
    const QDateTime later(QDate(2024, 5, 2), QTime(10, 0));
    int round = 0;
    for (const QByteArray& damaged : {QByteArray("\x00\x01garbage\xff", 10), QByteArray("[head]\r\nrights=x\r\n")}) {
        const QString folder = savedAlbum(QStringLiteral("Hory%1").arg(++round));
        writeBytes(autosave(folder), damaged);
        setModificationTime(autosave(folder), later);
        open(folder);
        ASSERT_EQ(dialogs.warnings.size(), 1);
        EXPECT_TRUE(dialogs.warnings[0].contains(autosave(folder)));
        EXPECT_TRUE(dialogs.questions.empty());
        EXPECT_EQ(form->album().table().Get(Field::Title, 0), QStringLiteral("Uloženo"));
        dialogs.warnings.clear();
        form->MenuSaveClick();
    }
}

TEST_F(NothingLostTest, CaptionsTypedBeforeTheProgramWasKilledComeBack)
{
    // The program in a child process opens the album, takes typed captions, autosaves and is
    // killed; the program started again opens the album and takes the captions back.
    const QString folder = savedAlbum(QStringLiteral("Hory"));
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::alarm(30);  // never outlives the test
        dialogs.pickFolderResult(folder);
        ui().MenuOpen->trigger();
        typeText(ui().EditFTitle, QStringLiteral(" a doplněno"));
        typeText(ui().MemoA, QStringLiteral("Popis alba"));
        form->album().state().AutoSave = true;
        form->album().Timer1Timer();
        ::raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the child ended otherwise: " << status;
    ASSERT_TRUE(QFile::exists(autosave(folder)));

    windows.reset();
    windows = std::make_unique<Windows>();
    form = windows->form1.get();
    dialogs.answerQuestion(true);
    open(folder);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(ui().EditFTitle->text(), QStringLiteral("Uloženo a doplněno"));
    EXPECT_EQ(ui().MemoA->toPlainText(), QStringLiteral("Popis alba"));
    form->MenuSaveClick();
    EXPECT_TRUE(readBytes(info(folder)).contains(cp1250(QStringLiteral("title=Uloženo a doplněno\r\n"))));
}

TEST_F(NothingLostTest, AFailedOfferedSaveKeepsTheAlbumAsItIs)
{
    const QString medium = albums.makeFolder(QStringLiteral("medium"));
    for (const bool full : {false, true}) {
        for (const bool closing : {false, true}) {
            SCOPED_TRACE(std::string(full ? "full disk" : "read-only") + (closing ? ", closing" : ", opening"));
            Tmpfs mount(medium, 0, "256k");
            if (!mount.mounted())
                GTEST_SKIP() << "cannot mount a tmpfs here: " << mount.error();
            for (const char* name : {"a.jpg", "b.jpg"})
                writeJpeg(medium + u'/' + QLatin1String(name), 32, 24);
            open(medium);
            typeText(ui().EditFTitle, QStringLiteral("Jen v paměti"));
            writeBytes(autosave(medium), "autosave");
            if (full)
                fillDisk(medium);
            else
                ASSERT_TRUE(mount.remountReadOnly());

            dialogs.answerQuestion(true);
            if (closing)
                EXPECT_FALSE(form->close()) << "the window stays open";
            else
                ui().MenuOpen->trigger();  // stops before the folder picker: none is scripted
            ASSERT_EQ(dialogs.messages.size(), 1u);
            EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Soubor %1/info.txt nelze zapsat").arg(medium));
            dialogs.messages.clear();
            EXPECT_EQ(ui().EditFTitle->text(), QStringLiteral("Jen v paměti"));
            EXPECT_EQ(form->album().table().Get(Field::Title, 0), QStringLiteral("Jen v paměti"));
            EXPECT_TRUE(form->album().state().Modified);
            EXPECT_TRUE(ui().MenuSaveAs->isEnabled());
            EXPECT_EQ(readBytes(autosave(medium)), QByteArray("autosave"));
            EXPECT_FALSE(QFile::exists(info(medium)));
            // Save As elsewhere still takes the captions.
            const QString rescue = albums.file(QStringLiteral("zachrana%1%2.txt").arg(full).arg(closing));
            dialogs.saveFileResult(rescue);
            ui().MenuSaveAs->trigger();
            EXPECT_TRUE(readBytes(rescue).contains(cp1250(QStringLiteral("title=Jen v paměti"))));
            ASSERT_TRUE(mount.remountWritable());
            QFile::remove(medium + QStringLiteral("/filler"));
            // Give the album up, so that the next round starts clean.
            dialogs.answerQuestion(false);
            open(albums.makeFolder(QStringLiteral("prazdna")));
        }
    }
}

TEST_F(NothingLostTest, EverySaveThatDoesNotFitOnTheDiskIsNoticed)
{
    // Ten photos' captions fit a write buffer many times over: the failure only shows when the
    // buffer goes to disk, and must still be noticed before anything replaces the old files.
    const QString disk = albums.makeFolder(QStringLiteral("Disk"));
    Tmpfs mount(disk, 0, "128k");
    if (!mount.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here: " << mount.error();
    for (int i = 0; i < 10; ++i)
        writeJpeg(disk + QStringLiteral("/%1.jpg").arg(i), 16, 12);
    open(disk);
    typeText(ui().EditFTitle, QStringLiteral("První"));
    form->MenuSaveClick();
    form->album().state().AutoSave = true;
    form->album().Timer1Timer();
    const QByteArray saved = readBytes(info(disk));
    const QByteArray autosaved = readBytes(autosave(disk));
    ASSERT_FALSE(saved.isEmpty());
    fillDisk(disk);

    typeText(ui().EditFTitle, QStringLiteral(" a druhá"));
    form->MenuSaveClick();
    ASSERT_EQ(dialogs.messages.size(), 1u) << "Save reports it";
    EXPECT_EQ(readBytes(info(disk)), saved);
    EXPECT_TRUE(form->album().state().Modified);
    EXPECT_TRUE(ui().MenuSave->isEnabled());

    form->album().Timer1Timer();
    EXPECT_EQ(readBytes(autosave(disk)), autosaved) << "the album's autosave file stays whole";
    EXPECT_TRUE(readBytes(temp.file(QStringLiteral("~Disk.txt"))).contains(cp1250(QStringLiteral("title=První a druhá"))))
        << "autosave went on in the temporary folder";
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(QDir(disk).entryList({QStringLiteral("*.txt*")}, QDir::Files | QDir::Hidden),
              (QStringList{QStringLiteral("info.txt"), QStringLiteral("~info.txt")}))
        << "no temporary file is left behind";
    QFile::remove(disk + QStringLiteral("/filler"));
}

TEST_F(NothingLostTest, CaptionFieldsTakeNoMoreThanReadsBackWhole)
{
    const QString folder = makeAlbum(QStringLiteral("Dlouhe"), {"a.jpg"});
    open(folder);
    auto& u = ui();
    const QString longest = QString(album::MaxCaptionLength - 2, u'x') + QChar(0x00A0);
    QList<QWidget*> fields{u.EditAName, u.EditADate, u.MemoA, u.EditFTitle, u.EditFName, u.EditFdate, u.MemoF};
    for (QWidget* field : fields) {
        SCOPED_TRACE(field->objectName().toStdString());
        if (auto* edit = qobject_cast<QLineEdit*>(field))
            edit->clear();
        else
            static_cast<QPlainTextEdit*>(field)->clear();
        QApplication::clipboard()->setText(longest);
        QMetaObject::invokeMethod(field, "paste");
        const int beeps = dialogs.beeps;
        QMetaObject::invokeMethod(field, "paste");
        EXPECT_EQ(dialogs.beeps, beeps + 1) << "a paste that would not fit is refused";
        QMetaObject::invokeMethod(field, "selectAll");
        QMetaObject::invokeMethod(field, "paste");
        EXPECT_EQ(dialogs.beeps, beeps + 1) << "replacing the whole text fits";
        typeText(field, QStringLiteral("y"));
        typeText(field, QStringLiteral("z"));
        EXPECT_EQ(dialogs.beeps, beeps + 2) << "the character past the longest is refused";
    }
    form->MenuSaveClick();
    open(folder);
    const QString kept = longest + u'y';
    EXPECT_EQ(u.EditAName->text(), kept);
    EXPECT_EQ(u.EditADate->text(), kept);
    EXPECT_EQ(captionText(u.MemoA), kept);
    for (Field field : {Field::Title, Field::Name, Field::Date, Field::Description})
        EXPECT_EQ(form->album().table().Get(field, 0), kept);
}

TEST_F(NothingLostTest, ACaptionFileThatCannotBeReadToTheEndOpensNothing)
{
    // Opening succeeds, reading fails: the file passes for neither an empty nor a short one.
    const QString folder = makeAlbum(QStringLiteral("Vadne"), {"a.jpg"});
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), info(folder)));
    open(folder);
    EXPECT_EQ(takeErrors(), QStringList{QStringLiteral("Cannot open file %1.").arg(info(folder))});
    EXPECT_FALSE(form->album().state().AlbumOpen);
    EXPECT_FALSE(ui().MenuSave->isEnabled());
    form->album().Timer1Timer();
    form->close();
    EXPECT_TRUE(QFileInfo(info(folder)).isSymLink());
    EXPECT_FALSE(QFile::exists(autosave(folder)));
}

TEST_F(NothingLostTest, AUtf16CaptionFileIsReadAsTextAndSavedAsUtf8)
{
    const QString folder = makeAlbum(QStringLiteral("Šestnáct"), {"a.jpg"});
    const QString text = head(QStringLiteral("Ελλάδα")).replace(u'\n', QStringLiteral("\r\n"))
                         + section("a", "Ακρόπολη", "a").replace(u'\n', QStringLiteral("\r\n"));
    QStringEncoder utf16(QStringConverter::Utf16LE, QStringConverter::Flag::WriteBom);
    writeBytes(info(folder), utf16.encode(text));
    open(folder);
    EXPECT_EQ(ui().EditAName->text(), QStringLiteral("Ελλάδα"));
    EXPECT_EQ(ui().EditFTitle->text(), QStringLiteral("Ακρόπολη"));
    form->MenuSaveClick();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(readBytes(info(folder)), "\xEF\xBB\xBF" + text.toUtf8());
}
