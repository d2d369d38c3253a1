#include "album/AutosaveRecovery.h"
#include "album/Captions.h"
#include "album/FolderScan.h"
#include "platform/Errors.h"
#include "storage/ProfileFile.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

using album::Field;
using album::PhotoTable;

namespace {

PhotoTable tableOf(const QStringList& fileNames)
{
    PhotoTable table;
    for (int r = 0; r < fileNames.size(); ++r) {
        if (r > 0)
            table.AppendRow();
        table.Set(Field::FileName, r, fileNames[r]);
    }
    return table;
}

}  // namespace

TEST(CaptionText, DescriptionsAreQuotedWithApostrophesForQuotes)
{
    EXPECT_EQ(album::QuoteSafe(QStringLiteral("řekl \"ahoj\" a 'čau'")), QStringLiteral("řekl 'ahoj' a 'čau'"));
    EXPECT_EQ(album::encodeDescription(QString()), QString());
    EXPECT_EQ(album::encodeDescription(QStringLiteral("  Návštěva ")), QStringLiteral("\"  Návštěva \""));
    EXPECT_EQ(album::encodeDescription(QStringLiteral("\"")), QStringLiteral("\"'\""));
    EXPECT_EQ(album::singleLine(QStringLiteral("a\r\nb\nc\rd")), QStringLiteral("a b c d"));
    EXPECT_EQ(album::singleLine(QStringLiteral("bez zlomu")), QStringLiteral("bez zlomu"));
}

TEST(CaptionText, OnlyValuesReadingWouldStripOfQuotesGetAnotherPair)
{
    // Each value as typed and as written: written unchanged unless reading would take a pair of
    // enclosing quotes (blanks and tabs around it aside) from it.
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("\"Ahoj,\" řekla Máňa"), QStringLiteral("\"Ahoj,\" řekla Máňa")},
        {QStringLiteral("\"Sníh"), QStringLiteral("\"Sníh")},
        {QStringLiteral("Sníh\""), QStringLiteral("Sníh\"")},
        {QStringLiteral("\"Sníh\""), QStringLiteral("\"\"Sníh\"\"")},
        {QStringLiteral("'Led'"), QStringLiteral("\"'Led'\"")},
        {QStringLiteral("  \"Sníh\"\t"), QStringLiteral("\"  \"Sníh\"\t\"")},
        {QStringLiteral("'Led\""), QStringLiteral("'Led\"")},
        {QStringLiteral("\""), QStringLiteral("\"")},
        {QStringLiteral("\"\""), QStringLiteral("\"\"\"\"")},
    };
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    for (const auto& [typed, written] : cases) {
        EXPECT_EQ(album::singleLine(typed), written) << typed.toStdString();
        {
            storage::ProfileFile file = album::captionFile(path, storage::Encoding::Windows1250);
            file.WriteString(QStringLiteral("p"), QStringLiteral("title"), album::singleLine(typed));
        }
        storage::ProfileFile file = album::captionFile(path, storage::Encoding::Windows1250);
        const QString read = file.ReadString(QStringLiteral("p"), QStringLiteral("title"), QString());
        EXPECT_EQ(read, typed.trimmed() == typed ? typed : read) << "reads back as typed: " << typed.toStdString();
    }
}

TEST(CaptionText, HoldableTextIsWhatWindows1250Has)
{
    EXPECT_TRUE(album::captionCanHold(QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy ÄÖÜ äöü ß €")));
    EXPECT_FALSE(album::captionCanHold(QStringLiteral("Ελλάδα")));
    EXPECT_EQ(album::unholdableCount(QStringLiteral("a∑b中😀")), 3) << "a character outside the BMP counts once";
    EXPECT_EQ(album::holdable(QStringLiteral("Tatry ∑ 😀")), QStringLiteral("Tatry _ _"));
}

TEST(SectionNames, OneRuleForEveryRowAndNeverTwoPhotosInOneSection)
{
    const PhotoTable table = tableOf({"IMG_0001.jpg", ".jpg", "a.jpg", "A.JPG", "a.JPG.jpg", "Σ.jpg", "a.jpg.jpg",
                                      "foto[1].jpg", " c.jpg", "c.jpg", "ta\tb.jpg", "  .jpg", "HEAD.jpg"});
    EXPECT_EQ(album::sectionNames(table),
              (QStringList{"IMG_0001", ".jpg", "a", "A.JPG", "a.JPG.jpg", "%CE%A3", "a.jpg.jpg~2", "foto[1%5D", " c",
                           "c.jpg", "ta%09b", "  .jpg~2", "HEAD.jpg"}));
    // A name the file cannot hold is spelled with numbers: it fits the file and is its own.
    EXPECT_TRUE(album::captionCanHold(album::sectionNames(table)[5]));
    // A file that can hold it keeps it as it is.
    EXPECT_EQ(album::sectionNames(table, storage::Encoding::Utf8WithBom)[5], QStringLiteral("Σ"));
    EXPECT_EQ(album::formerSectionName(QStringLiteral("Σ.jpg")), QStringLiteral("&#931;"));
    EXPECT_TRUE(album::formerSectionName(QStringLiteral("a.jpg")).isEmpty());

    const auto shared = album::photosSharingASection(table);
    ASSERT_EQ(shared.size(), 4);
    EXPECT_EQ(shared[0], (QStringList{".jpg", "  .jpg"}));
    EXPECT_EQ(shared[1], (QStringList{"a.jpg", "A.JPG"}));
    EXPECT_EQ(shared[2], (QStringList{"a.JPG.jpg", "a.jpg.jpg"}));
    EXPECT_EQ(shared[3], (QStringList{" c.jpg", "c.jpg"})) << "blanks around a section name do not count";
    EXPECT_TRUE(album::photosSharingASection(tableOf({"a.jpg", "b.jpg"})).isEmpty());
}

TEST(CaptionWriter, NewFileHoldsTheHeaderThenOneSectionPerPhotoInOrder)
{
    TempFolder dir;
    PhotoTable table = tableOf({"IMG_0001.jpg", "IMG_0002.jpg"});
    for (int r = 0; r < 2; ++r) {
        table.Set(Field::Key, r, album::keyOf(table.Get(Field::FileName, r)));
        table.Set(Field::Name, r, album::keyOf(table.Get(Field::FileName, r)));
        table.Set(Field::Date, r, QStringLiteral("15.1.2004"));
        table.Set(Field::Rights, r, QStringLiteral("0"));
    }
    table.Set(Field::Title, 0, QStringLiteral("Chata"));
    table.Set(Field::Title, 1, QStringLiteral("Štít\r\npod mraky"));
    table.Set(Field::Name, 1, QStringLiteral("\"Sníh"));
    table.Set(Field::Description, 1, QStringLiteral("Řekl \"sýr\"\ndruhý řádek"));
    const album::AlbumHeader header{QStringLiteral("Tatry"), QStringLiteral("15.1.2004"),
                                    QStringLiteral("Návštěva Vysokých Tater"), 0};
    const QString path = dir.file(QStringLiteral("info.txt"));
    int rowsDone = 0;
    {
        storage::ProfileFile file(path, storage::Encoding::Windows1250);
        album::writeCaptions(file, header, table, [&] { ++rowsDone; });
    }
    EXPECT_EQ(rowsDone, 2);
    EXPECT_EQ(readBytes(path), cp1250(QStringLiteral(
        "[head]\r\nname=Tatry\r\ndate=15.1.2004\r\ndesc=\"Návštěva Vysokých Tater\"\r\nrights=0\r\n"
        "[IMG_0001]\r\ntitle=Chata\r\nname=IMG_0001\r\ndate=15.1.2004\r\ndesc=\r\nrights=0\r\n"
        "[IMG_0002]\r\ntitle=Štít pod mraky\r\nname=\"Sníh\r\ndate=15.1.2004\r\n"
        "desc=\"Řekl 'sýr'\r\ndruhý řádek\"\r\nrights=0\r\n")));

    // Read back: the description comes back whole, apostrophes and all.
    storage::ProfileFile again = album::captionFile(path, storage::Encoding::Windows1250);
    EXPECT_EQ(again.ReadString(QStringLiteral("IMG_0002"), QStringLiteral("desc"), QString()),
              QStringLiteral("Řekl 'sýr'\ndruhý řádek"));
    EXPECT_EQ(again.ReadString(QStringLiteral("IMG_0002"), QStringLiteral("rights"), QString()), QStringLiteral("0"));
    EXPECT_EQ(again.ReadString(QStringLiteral("IMG_0002"), QStringLiteral("name"), QString()), QStringLiteral("\"Sníh"))
        << "a name starting with a quote neither loses it nor takes the next lines in";
}

TEST(CaptionWriter, ExistingFileKeepsWhatIsNotWritten)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("vyber.txt"));
    writeBytes(path, cp1250(QStringLiteral("; moje poznámka\r\n[stara]\r\ntitle=Zůstane\r\n[head]\r\nname=Staré\r\nextra=1\r\n")));
    PhotoTable table = tableOf({"a.jpg"});
    table.Set(Field::Key, 0, QStringLiteral("a"));
    {
        storage::ProfileFile file(path, storage::Encoding::Windows1250);
        album::writeCaptions(file, {QStringLiteral("Nové"), QString(), QString(), 5}, table, {});
    }
    EXPECT_EQ(readBytes(path), cp1250(QStringLiteral(
        "; moje poznámka\r\n[stara]\r\ntitle=Zůstane\r\n[head]\r\nname=Nové\r\nextra=1\r\ndate=\r\ndesc=\r\nrights=5\r\n"
        "[a]\r\ntitle=\r\nname=\r\ndate=\r\ndesc=\r\nrights=\r\n")));
}

TEST(SectionNames, EscapedNamesParseInPhpAndEveryOtherSectionReadsAsBefore)
{
    // A web gallery may read the file with PHP's parse_ini_file, which rejects a whole file at a
    // section line it cannot parse: every name the program escapes must parse, in both modes.
    const QString php = QStandardPaths::findExecutable(QStringLiteral("php"));
    if (php.isEmpty())
        GTEST_SKIP() << "php-cli is not installed (scripts/setup.sh installs it)";
    PhotoTable table = tableOf({"IMG_0001.jpg", "foto[1].jpg", "Σ.jpg", "中文.jpg", "😀.jpg", "tab\t.jpg", "a]b[c].jpg",
                                "x\x7f.jpg", "IMG_0002.jpg"});
    const QStringList keys = album::sectionNames(table);
    for (int r = 0; r < table.RowCount(); ++r) {
        table.Set(Field::Key, r, keys[r]);
        table.Set(Field::Title, r, QStringLiteral("titulek %1").arg(r));
    }
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    {
        storage::ProfileFile file = album::captionFile(path, storage::Encoding::Windows1250);
        album::writeCaptions(file, {QStringLiteral("Album"), QString(), QString(), 0}, table, {});
    }
    for (const char* mode : {"INI_SCANNER_NORMAL", "INI_SCANNER_RAW"}) {
        SCOPED_TRACE(mode);
        QProcess run;
        run.start(php, {QStringLiteral("-r"),
                        QStringLiteral("$a = parse_ini_file($argv[1], true, %1); if ($a === false) exit(1);"
                                       "$t = []; foreach ($a as $s => $k) $t[$s] = $k['title'] ?? $k['name'];"
                                       "echo json_encode($t);")
                            .arg(QLatin1String(mode)),
                        path});
        ASSERT_TRUE(run.waitForFinished(20000));
        ASSERT_EQ(run.exitCode(), 0) << "PHP rejects the file: " << run.readAllStandardError().toStdString();
        const QJsonObject sections = QJsonDocument::fromJson(run.readAllStandardOutput()).object();
        EXPECT_EQ(sections.value(QStringLiteral("head")).toString(), QStringLiteral("Album"));
        EXPECT_EQ(sections.size(), table.RowCount() + 1);
        for (int r = 0; r < table.RowCount(); ++r)
            EXPECT_EQ(sections.value(keys[r]).toString(), QStringLiteral("titulek %1").arg(r)) << keys[r].toStdString();
    }
}

// Reading a caption file over the defaults of a scanned folder, without a window: what the album
// header gets and what each row keeps or takes.
TEST(CaptionReader, LaysTheFileOverTheScannedDefaultsByItsRules)
{
    struct Row {
        QString title, name, date, description, rights;
    };
    struct Case {
        const char* what;
        QString file;  // as the file holds it (written in Windows-1250)
        QStringList photos;
        QString albumName, albumDate, albumDescription, albumRights;
        std::vector<Row> rows;
    };
    // Scanned defaults: name = key, date 15.1.2004, rights 0, title and description empty.
    const Case cases[] = {
        {"a header without keys empties name, date and description; rights default to 0",
         QStringLiteral("[head]\r\nother=1\r\n"), {"a.jpg"}, "", "", "", "0",
         {{"", "a", "15.1.2004", "", "0"}}},
        {"title and description are taken even when empty; empty name, date and rights are not",
         QStringLiteral("[head]\r\nname=Alb\r\nrights=3\r\n[a]\r\ntitle=\r\nname=\r\ndate=\r\ndesc=\r\nrights=\r\n"
                        "[b]\r\ntitle=Štít\r\nname=Vrchol\r\ndate=1.8.2004\r\ndesc=\"Dva\r\nřádky\"\r\nrights=7\r\n"),
         {"a.jpg", "b.jpg"}, "Alb", "", "", "3",
         {{"", "a", "15.1.2004", "", "0"}, {"Štít", "Vrchol", "1.8.2004", "Dva\nřádky", "7"}}},
        {"a photo without a section keeps every default",
         QStringLiteral("[head]\r\nname=Alb\r\n[jina]\r\ntitle=x\r\n"), {"a.jpg"}, "Alb", "", "", "0",
         {{"", "a", "15.1.2004", "", "0"}}},
        {"photos whose names differ in case only: the later one reads its whole file name",
         QStringLiteral("[a]\r\ntitle=malé\r\n[a.JPG]\r\ntitle=velké\r\n"), {"a.jpg", "a.JPG"}, "", "", "", "0",
         {{"malé", "a", "15.1.2004", "", "0"}, {"velké", "a", "15.1.2004", "", "0"}}},
        {"a section under the name an earlier version gave a photo is still read",
         QStringLiteral("[&#945;lfa]\r\ntitle=staré jméno\r\n"), {"\u03B1lfa.jpg"}, "", "", "", "0",
         {{"staré jméno", "_lfa", "15.1.2004", "", "0"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder dir;
        QList<platform::FolderEntry> entries;
        for (const QString& name : c.photos)
            entries.append({name, QDate(2004, 1, 15)});
        PhotoTable table;
        album::fillTable(entries, table, storage::Encoding::Windows1250);
        const QString path = dir.file(QStringLiteral("info.txt"));
        writeBytes(path, cp1250(c.file));
        storage::ProfileFile file = album::captionFile(path, storage::Encoding::Windows1250);
        const album::AlbumCaptions captions = album::readCaptions(file, table);
        EXPECT_EQ(captions.name, c.albumName);
        EXPECT_EQ(captions.date, c.albumDate);
        EXPECT_EQ(captions.description, c.albumDescription);
        EXPECT_EQ(captions.rights, c.albumRights);
        album::layOver(captions, table);
        ASSERT_EQ(table.RowCount(), int(c.rows.size()));
        for (int r = 0; r < table.RowCount(); ++r) {
            const Row& row = c.rows[std::size_t(r)];
            EXPECT_EQ(table.Get(Field::Title, r), row.title) << "row " << r;
            EXPECT_EQ(table.Get(Field::Name, r), row.name) << "row " << r;
            EXPECT_EQ(table.Get(Field::Date, r), row.date) << "row " << r;
            EXPECT_EQ(table.Get(Field::Description, r), row.description) << "row " << r;
            EXPECT_EQ(table.Get(Field::Rights, r), row.rights) << "row " << r;
        }
    }
}

TEST(CaptionReader, AFileThereButUnreadableIsAnErrorNeverAnEmptyAlbum)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    ASSERT_TRUE(QDir().mkpath(path + QStringLiteral("/x")));  // a folder stands where the file should
    storage::ProfileFile file = album::captionFile(path, storage::Encoding::Windows1250);
    PhotoTable table = tableOf({"a.jpg"});
    try {
        album::readCaptions(file, table);
        ADD_FAILURE() << "read as empty";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Cannot open file %1").arg(path));
    }
}
