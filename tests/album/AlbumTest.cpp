// The open album without any window: its sequences through the scripted dialogs, checked on the
// table, the fields it shows, its signals and the bytes on disk.
#include "album/Album.h"
#include "support/Fixtures.h"
#include "support/ScriptedDialogs.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <stdexcept>

using album::Album;
using album::Field;
using album::Shown;

namespace {

// The preview, as far as the album needs it: which photos it was asked for; one may fail.
class RecordingView : public album::AlbumView {
public:
    void ShowPhoto(int row) override
    {
        shown.push_back(row);
        if (row == failingRow)
            throw std::runtime_error("JPEG error #53");
    }
    std::vector<int> shown;
    int failingRow = -1;
};

const QDateTime kTaken(QDate(2004, 1, 15), QTime(12, 0));

class AlbumTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedTemp_ = qgetenv("TMPDIR");
        qputenv("TMPDIR", temp.path().toLocal8Bit());
        album.setView(&view);
        folder = albums.makeFolder(QStringLiteral("Tatry"));
        for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) {
            writeJpeg(file(QLatin1String(name)), 8, 8);
            setModificationTime(file(QLatin1String(name)), kTaken);
        }
    }

    void TearDown() override
    {
        qputenv("TMPDIR", savedTemp_);
        EXPECT_TRUE(dialogs.allAnswersUsed());
        EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(" | ").toStdString();
    }

    QString file(const QString& name) const { return folder + u'/' + name; }
    const QString& cell(Field field, int row) const { return album.table().Get(field, row); }

    // "info.txt" holding every entry a save writes: the titles given, all else as Open makes it.
    void writeCompleteCaptions(const QStringList& titles)
    {
        QString text = QStringLiteral("[head]\r\nname=Tatry\r\ndate=15.1.2004\r\ndesc=\r\nrights=0\r\n");
        for (int i = 0; i < 3; ++i)
            text += QStringLiteral("[%1]\r\ntitle=%2\r\nname=%1\r\ndate=15.1.2004\r\ndesc=\r\nrights=0\r\n")
                        .arg(QChar(u'a' + i))
                        .arg(titles.value(i));
        writeBytes(file(QStringLiteral("info.txt")), cp1250(text));
    }

    ScriptedDialogs dialogs;
    TempFolder albums;
    TempFolder temp;
    RecordingView view;
    Album album;
    QString folder;

private:
    QByteArray savedTemp_;
};

TEST_F(AlbumTest, OpenReadsTheFolderAndModifiesOnlyWhereASaveWouldWriteSomethingNew)
{
    struct Case {
        const char* what;
        QByteArray captions;  // empty: no "info.txt"
        bool modified;
    };
    const QByteArray complete = cp1250(QStringLiteral(
        "[head]\r\nname=Hory\r\ndate=1.1.2000\r\ndesc=\r\nrights=0\r\n"
        "[a]\r\ntitle=Chata\r\nname=a\r\ndate=15.1.2004\r\ndesc=\r\nrights=0\r\n"
        "[b]\r\ntitle=\r\nname=b\r\ndate=15.1.2004\r\ndesc=\r\nrights=0\r\n"
        "[c]\r\ntitle=\r\nname=c\r\ndate=15.1.2004\r\ndesc=\r\nrights=0\r\n"));
    const Case cases[] = {
        {"no caption file", QByteArray(), true},
        {"a complete caption file", complete, false},
        {"a photo without its section", complete.left(complete.indexOf("[c]")), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(file(QStringLiteral("info.txt")));
        if (!c.captions.isEmpty())
            writeBytes(file(QStringLiteral("info.txt")), c.captions);
        album.state().Modified = false;
        view.shown.clear();
        QSignalSpy replaced(&album, &Album::albumReplaced);
        QSignalSpy rows(&album, &Album::rowShown);
        album.open(folder);

        EXPECT_TRUE(album.state().AlbumOpen);
        ASSERT_EQ(album.table().RowCount(), 3);
        EXPECT_EQ(album.shown(Shown::AlbumName), c.captions.isEmpty() ? QStringLiteral("Tatry") : QStringLiteral("Hory"));
        EXPECT_EQ(album.shown(Shown::AlbumDate), c.captions.isEmpty() ? QStringLiteral("15.1.2004") : QStringLiteral("1.1.2000"));
        EXPECT_EQ(album.shown(Shown::Title), c.captions.isEmpty() ? QString() : QStringLiteral("Chata"));
        EXPECT_EQ(album.shown(Shown::Name), QStringLiteral("a"));
        EXPECT_EQ(album.titledCount(), c.captions.isEmpty() ? 0 : 1);
        EXPECT_EQ(album.state().Modified, c.modified);
        EXPECT_EQ(album.saveOffered(), c.modified);
        EXPECT_TRUE(album.saveAsOffered());
        EXPECT_EQ(view.shown, std::vector<int>{0});
        EXPECT_EQ(replaced.count(), 1);
        ASSERT_EQ(rows.count(), 1);
        EXPECT_EQ(rows.front().front().toInt(), 0);
    }
}

TEST_F(AlbumTest, EveryFieldRuleRunsOnlyOnARealChange)
{
    writeCompleteCaptions({QStringLiteral("Chata")});
    album.open(folder);
    album.next();
    struct Case {
        Shown field;
        std::optional<Field> stored;  // the current row's field the text goes into
        bool marks;
    };
    const Case cases[] = {
        {Shown::Title, Field::Title, true},        {Shown::Name, Field::Name, true},
        {Shown::Date, Field::Date, true},          {Shown::Description, Field::Description, true},
        {Shown::PhotoRights, Field::Rights, false}, {Shown::AlbumName, std::nullopt, true},
        {Shown::AlbumDate, std::nullopt, true},     {Shown::AlbumDescription, std::nullopt, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.field));
        album.state().Modified = false;
        QSignalSpy shown(&album, &Album::shownChanged);
        QSignalSpy captions(&album, &Album::captionChanged);
        album.setShown(c.field, album.shown(c.field));  // the text it shows: nothing runs
        EXPECT_EQ(shown.count(), 0);
        EXPECT_EQ(captions.count(), 0);
        EXPECT_FALSE(album.state().Modified);

        album.setShown(c.field, QStringLiteral("7"));
        EXPECT_EQ(album.state().Modified, c.marks);
        if (c.stored) {
            EXPECT_EQ(cell(*c.stored, 1), QStringLiteral("7"));
            EXPECT_NE(cell(*c.stored, 0), QStringLiteral("7")) << "only the current row";
            ASSERT_EQ(captions.count(), 1);
            EXPECT_EQ(captions.front().front().toInt(), 1);
        }
    }
    EXPECT_EQ(album.titledCount(), 2);
}

TEST_F(AlbumTest, NavigationFillsTheFieldsOfTheNewRowEvenWhenItsPhotoFails)
{
    writeCompleteCaptions({QStringLiteral("Chata"), QStringLiteral("Chata"), QStringLiteral("Štít")});
    album.open(folder);
    EXPECT_FALSE(album.state().Modified);
    album.next();
    EXPECT_TRUE(album.state().Modified) << "moving to a photo with other captions (its name) marks the album";
    EXPECT_EQ(album.shown(Shown::Name), QStringLiteral("b"));
    EXPECT_EQ(cell(Field::Name, 0), QStringLiteral("a")) << "the fields' rules store into the new row only";
    view.failingRow = 2;
    EXPECT_THROW(album.next(), std::runtime_error);
    EXPECT_EQ(album.state().CurrentRow, 2);
    EXPECT_EQ(album.shown(Shown::Title), QStringLiteral("Štít")) << "the fields show the row edits go into";
    view.failingRow = -1;
    album.jump(99);
    EXPECT_EQ(album.state().CurrentRow, 2);
    album.jump(0);
    EXPECT_EQ(album.state().CurrentRow, 0);
    EXPECT_EQ(view.shown, (std::vector<int>{0, 1, 2, 2, 0}));

    // A caption set from outside the fields: another photo's stays out of them, the current one's shows.
    album.state().Modified = false;
    album.setCaption(2, Field::Title, QStringLiteral("Hřeben"));
    EXPECT_EQ(cell(Field::Title, 2), QStringLiteral("Hřeben"));
    EXPECT_EQ(album.shown(Shown::Title), QStringLiteral("Chata"));
    EXPECT_TRUE(album.state().Modified);
    album.setCaption(0, Field::Title, QStringLiteral("Chalupa"));
    EXPECT_EQ(album.shown(Shown::Title), QStringLiteral("Chalupa"));
}

TEST_F(AlbumTest, SavingWritesTheCaptionFileOrSaysWhyNot)
{
    album.open(folder);
    album.setShown(Shown::Title, QStringLiteral("Chata"));
    QSignalSpy saved(&album, &Album::saved);
    album.save();
    EXPECT_EQ(readBytes(file(QStringLiteral("info.txt"))),
              cp1250(QStringLiteral("[head]\r\nname=Tatry\r\ndate=15.1.2004\r\ndesc=\r\nrights=0\r\n"
                                    "[a]\r\ntitle=Chata\r\nname=a\r\ndate=15.1.2004\r\ndesc=\r\nrights=0\r\n"
                                    "[b]\r\ntitle=\r\nname=b\r\ndate=15.1.2004\r\ndesc=\r\nrights=0\r\n"
                                    "[c]\r\ntitle=\r\nname=c\r\ndate=15.1.2004\r\ndesc=\r\nrights=0\r\n")));
    EXPECT_FALSE(album.state().Modified);
    EXPECT_FALSE(album.saveOffered());
    EXPECT_EQ(saved.count(), 1);

    // A folder in the caption file's place, and in the autosave file's: neither can be written.
    ASSERT_TRUE(QFile::remove(file(QStringLiteral("info.txt"))));
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("info.txt")));
    ASSERT_TRUE(QDir(folder).mkdir(QStringLiteral("~info.txt")));
    album.setShown(Shown::Title, QStringLiteral("Chalupa"));
    QSignalSpy failed(&album, &Album::saveFailed);
    album.save();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages.front().text, QStringLiteral("Soubor %1 nelze zapsat").arg(file(QStringLiteral("info.txt"))));
    EXPECT_TRUE(album.state().Modified) << "nothing was saved";

    album.state().AutoSave = true;
    album.Timer1Timer();
    EXPECT_EQ(failed.count(), 2);
    EXPECT_EQ(dialogs.messages.size(), 1u) << "a failed autosave falls back without a word";
    EXPECT_TRUE(readBytes(temp.file(QStringLiteral("~Tatry.txt"))).contains(cp1250(QStringLiteral("title=Chalupa"))));
    EXPECT_EQ(album.state().AutosaveDir, platform::tempFolder());
}

TEST_F(AlbumTest, OpenOffersBackWhatOnlyTheAutosaveFileHoldsAndClosingLetsItGo)
{
    writeCompleteCaptions({QStringLiteral("Chata")});
    setModificationTime(file(QStringLiteral("info.txt")), kTaken);
    writeBytes(file(QStringLiteral("~info.txt")),
               cp1250(QStringLiteral("[head]\r\nname=Tatry\r\ndate=15.1.2004\r\n[a]\r\ntitle=Chata u lesa\r\n")));
    dialogs.answerQuestion(true);
    album.open(folder);
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_EQ(dialogs.questions.front().caption, QStringLiteral("Obnovit popisky?"));
    EXPECT_EQ(cell(Field::Title, 0), QStringLiteral("Chata u lesa"));
    EXPECT_EQ(album.shown(Shown::Title), QStringLiteral("Chata u lesa"));
    EXPECT_TRUE(album.state().Modified) << "restored captions are not in info.txt yet";

    dialogs.answerQuestion(false);  // "Uložit?": the user gives the changes up
    EXPECT_TRUE(album.close());
    EXPECT_EQ(dialogs.questions.back().caption, QStringLiteral("Uložit?"));
    EXPECT_FALSE(QFile::exists(file(QStringLiteral("~info.txt"))));
}

TEST_F(AlbumTest, AlbumWideEditsReachEveryRow)
{
    album.open(folder);
    album.setShown(Shown::Date, QStringLiteral("vlastní"));  // photo a's own date
    album.setShown(Shown::AlbumDate, QStringLiteral("1.5.2004"));
    album.state().Modified = false;
    album.setDatesBound(true);
    for (int r = 0; r < 3; ++r)
        EXPECT_EQ(cell(Field::Date, r), QStringLiteral("1.5.2004"));
    EXPECT_EQ(album.shown(Shown::Date), QStringLiteral("1.5.2004"));
    EXPECT_TRUE(album.state().Modified);
    album.setShown(Shown::AlbumDate, QStringLiteral("2.5.2004"));
    EXPECT_EQ(cell(Field::Date, 2), QStringLiteral("2.5.2004")) << "bound dates follow the album's";
    album.setDatesBound(false);
    EXPECT_EQ(cell(Field::Date, 0), QStringLiteral("vlastní"));
    EXPECT_EQ(cell(Field::Date, 1), QStringLiteral("15.1.2004"));

    // The album's right is a floor for every photo's; the shown photo's field keeps it too.
    const char* rights[] = {"0", "10", "50"};
    for (int r = 0; r < 3; ++r)
        album.tableForTest().Set(Field::Rights, r, QLatin1String(rights[r]));
    album.setShown(Shown::AlbumRights, QStringLiteral("30"));
    EXPECT_EQ(cell(Field::Rights, 0), QStringLiteral("30"));
    EXPECT_EQ(cell(Field::Rights, 1), QStringLiteral("30"));
    EXPECT_EQ(cell(Field::Rights, 2), QStringLiteral("50"));
    EXPECT_EQ(album.photoRightsMinimum(), 30);
    EXPECT_EQ(album.shown(Shown::PhotoRights), QStringLiteral("30"));
    // A right that is no number ends the cascade with its error; the rule ends, nothing more.
    album.tableForTest().Set(Field::Rights, 1, QStringLiteral("?"));
    EXPECT_THROW(album.setShown(Shown::AlbumRights, QStringLiteral("60")), std::exception);
    EXPECT_EQ(cell(Field::Rights, 0), QStringLiteral("60"));
    EXPECT_EQ(cell(Field::Rights, 2), QStringLiteral("50"));
    EXPECT_FALSE(album.state().RightsCascade);
}

}  // namespace
