#include "storage/ProfileFile.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <limits>
#include <gtest/gtest.h>
#include <grp.h>
#include <ostream>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

using storage::EIniFileException;
using storage::Encoding;
using storage::ProfileFile;

// Readable failure output for bytes and text.
static void PrintTo(const QByteArray& bytes, std::ostream* os)
{
    *os << '"';
    for (char c : bytes) {
        if (c == '\r')
            *os << "\\r";
        else if (c == '\n')
            *os << "\\n";
        else if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x80)
            *os << "\\x" << std::hex << (static_cast<unsigned char>(c) & 0xff) << std::dec;
        else
            *os << c;
    }
    *os << '"';
}

static void PrintTo(const QString& text, std::ostream* os)
{
    *os << '"' << text.toStdString() << '"';
}

namespace {

const QString None = QStringLiteral("<none>");

// A value read by a fresh object, as the next program run would see it.
QString readFresh(const QString& path, const QString& section, const QString& key)
{
    ProfileFile file(path, Encoding::Windows1250);
    return file.ReadString(section, key, None);
}

// The same for a caption file, where a description ("desc") may go on over several lines.
QString readCaption(const QString& path, const QString& section, const QString& key)
{
    ProfileFile file(path, Encoding::Windows1250, ProfileFile::Start::FromFile, QStringLiteral("desc"));
    return file.ReadString(section, key, None);
}

bool sectionFresh(const QString& path, const QString& section)
{
    ProfileFile file(path, Encoding::Windows1250);
    return file.SectionExists(section);
}

// Writes one entry into `path` through a fresh object and returns the file's bytes.
QByteArray writeOne(const QString& path, const QString& section, const QString& key, const QString& value)
{
    {
        ProfileFile file(path, Encoding::Windows1250);
        file.WriteString(section, key, value);
    }
    return readBytes(path);
}

// The message of the EIniFileException `action` raises; empty when it raises none.
QString writeError(const std::function<void()>& action)
{
    try {
        action();
    } catch (const EIniFileException& e) {
        return e.message();
    }
    return {};
}

QStringList folderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}


// Runs `body` with the rights of the user "nobody", so that permission bits count even though
// the tests run as root: in a child process when we are root, directly otherwise.
// Returns what `body` returns, or -1 when it could not run.
int runUnprivileged(const std::function<int()>& body)
{
    if (::geteuid() != 0)
        return body();
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        int code = 100;
        if (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0)
            code = body();
        ::_exit(code);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Reading

TEST(ProfileFileRead, MissingFileGivesDefaultsAndIsNotCreated)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    {
        ProfileFile file(path, Encoding::Windows1250);
        EXPECT_EQ(file.ReadString(QStringLiteral("head"), QStringLiteral("name"), QStringLiteral("výchozí")),
                  QStringLiteral("výchozí"));
        EXPECT_FALSE(file.SectionExists(QStringLiteral("head")));
    }
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(ProfileFileRead, CreatingTouchesNoFileAndReadingChangesNothing)
{
    TempFolder dir;
    const QString missing = dir.file(QStringLiteral("no/such/folder/info.txt"));
    { ProfileFile file(missing, Encoding::Windows1250); }
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("no"))));

    const QString path = dir.file(QStringLiteral("info.txt"));
    const QByteArray bytes = "[head]\r\nname=Tatry\r\n";
    writeBytes(path, bytes);
    const QDateTime old = QDateTime(QDate(2004, 1, 15), QTime(12, 0));
    setModificationTime(path, old);
    {
        ProfileFile file(path, Encoding::Windows1250);
        EXPECT_EQ(file.ReadString(QStringLiteral("head"), QStringLiteral("name"), None), QStringLiteral("Tatry"));
        EXPECT_TRUE(file.SectionExists(QStringLiteral("head")));
    }
    EXPECT_EQ(readBytes(path), bytes);
    EXPECT_EQ(QFileInfo(path).lastModified(), old);
}

TEST(ProfileFileRead, MissingSectionOrKeyGivesDefault)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path, "[head]\r\nname=Tatry\r\n");
    EXPECT_EQ(readFresh(path, QStringLiteral("head"), QStringLiteral("date")), None);
    EXPECT_EQ(readFresh(path, QStringLiteral("IMG_0001"), QStringLiteral("name")), None);
}

TEST(ProfileFileRead, NamesCompareWithoutRegardToCase)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    // [Šárka] / Klíč=1 in Windows-1250
    writeBytes(path, "[head]\r\ndesc=popis\r\n[\x8a\xe1rka]\r\nKl\xed\xe8=1\r\n");
    EXPECT_EQ(readFresh(path, QStringLiteral("HEAD"), QStringLiteral("Desc")), QStringLiteral("popis"));
    EXPECT_EQ(readFresh(path, QStringLiteral("šÁRKA"), QStringLiteral("KLÍČ")), QStringLiteral("1"));
    EXPECT_TRUE(sectionFresh(path, QStringLiteral("ŠÁRKA")));
}

TEST(ProfileFileRead, BlanksAndTabsAroundNamesAndValuesInTheFileDoNotCount)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path, " \t[ IMG 1 \t]  \r\n \t title \t=  \t Chata u lesa \t \r\n");
    EXPECT_EQ(readFresh(path, QStringLiteral("IMG 1"), QStringLiteral("title")), QStringLiteral("Chata u lesa"));
    EXPECT_TRUE(sectionFresh(path, QStringLiteral("img 1")));
}

TEST(ProfileFileRead, NamesGivenByTheCallerLoseBlanksOnly)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path, "[head]\r\nname=Tatry\r\n");
    EXPECT_EQ(readFresh(path, QStringLiteral("  head "), QStringLiteral(" name  ")), QStringLiteral("Tatry"));
    EXPECT_EQ(readFresh(path, QStringLiteral("\thead"), QStringLiteral("name")), None);
    EXPECT_EQ(readFresh(path, QStringLiteral("head"), QStringLiteral("name\t")), None);
    EXPECT_FALSE(sectionFresh(path, QStringLiteral("head\t")));
}

TEST(ProfileFileRead, OnePairOfMatchingEnclosingQuotesIsRemoved)
{
    // (A double quote left open on its line starts a value over several lines; see below.)
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path,
               "[s]\r\n"
               "double=\"text\"\r\n"
               "single='text'\r\n"
               "mixed='text\"\r\n"
               "nested=\"\"text\"\"\r\n"
               "lone='\r\n"
               "padded=\"  two blanks  \"\r\n"
               "outside=  \"in\"  \r\n"
               "empty=''\r\n"
               "inner=a \"b\" c\r\n");
    ProfileFile file(path, Encoding::Windows1250);
    auto read = [&](const char* key) { return file.ReadString(QStringLiteral("s"), QString::fromLatin1(key), None); };
    EXPECT_EQ(read("double"), QStringLiteral("text"));
    EXPECT_EQ(read("single"), QStringLiteral("text"));
    EXPECT_EQ(read("mixed"), QStringLiteral("'text\""));
    EXPECT_EQ(read("nested"), QStringLiteral("\"text\""));
    EXPECT_EQ(read("lone"), QStringLiteral("'"));
    EXPECT_EQ(read("padded"), QStringLiteral("  two blanks  "));
    EXPECT_EQ(read("outside"), QStringLiteral("in"));
    EXPECT_EQ(read("empty"), QString());
    EXPECT_EQ(read("inner"), QStringLiteral("a \"b\" c"));
}

TEST(ProfileFileRead, ValueIsEverythingAfterTheFirstEqualsSign)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path, "[s]\r\nformula=a=b==c\r\nempty=\r\n");
    EXPECT_EQ(readFresh(path, QStringLiteral("s"), QStringLiteral("formula")), QStringLiteral("a=b==c"));
    EXPECT_EQ(readFresh(path, QStringLiteral("s"), QStringLiteral("empty")), QString());
}

TEST(ProfileFileRead, ValuesAreCutTo2047CharactersAfterQuoteRemoval)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    const QByteArray quoted = '"' + QByteArray(2047, 'q') + '"';
    const QByteArray longPlain = QByteArray(2000, 'a') + QByteArray(1000, 'b');
    const QByteArray veryLong = QByteArray(200000, 'v');
    writeBytes(path, "[s]\r\nquoted=" + quoted + "\r\nplain=" + longPlain + "\r\nhuge=" + veryLong + "\r\nafter=ok\r\n");

    EXPECT_EQ(readFresh(path, QStringLiteral("s"), QStringLiteral("quoted")), QString(2047, u'q'));
    EXPECT_EQ(readFresh(path, QStringLiteral("s"), QStringLiteral("plain")),
              QString(2000, u'a') + QString(47, u'b'));
    EXPECT_EQ(readFresh(path, QStringLiteral("s"), QStringLiteral("huge")), QString(2047, u'v'));
    EXPECT_EQ(readFresh(path, QStringLiteral("s"), QStringLiteral("after")), QStringLiteral("ok"));
}

TEST(ProfileFileRead, TheCutNeverSplitsACharacterOutsideTheBasicPlane)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("albisko.ini"));
    const QString smile = QStringLiteral("😀");  // two UTF-16 code units
    writeBytes(path, "[s]\r\nk=" + (QString(2046, u'a') + smile).toUtf8() + "\r\n");
    ProfileFile file(path, Encoding::Utf8);
    EXPECT_EQ(file.ReadString(QStringLiteral("s"), QStringLiteral("k"), None), QString(2046, u'a'));
}

TEST(ProfileFileRead, CommentsAndLinesWithoutEqualsAreNoEntries)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path,
               "[s]\r\n"
               ";hidden=1\r\n"
               " \t; indented=2\r\n"
               "#hash=3\r\n"
               "no equals here\r\n"
               "[only comments]\r\n"
               "; c=1\r\n"
               "junk\r\n"
               "\r\n");
    EXPECT_EQ(readFresh(path, QStringLiteral("s"), QStringLiteral(";hidden")), None);
    EXPECT_EQ(readFresh(path, QStringLiteral("s"), QStringLiteral("hidden")), None);
    EXPECT_EQ(readFresh(path, QStringLiteral("s"), QStringLiteral("indented")), None);
    EXPECT_EQ(readFresh(path, QStringLiteral("s"), QStringLiteral("#hash")), QStringLiteral("3"));
    EXPECT_EQ(readFresh(path, QStringLiteral("s"), QStringLiteral("no equals here")), None);
    EXPECT_FALSE(sectionFresh(path, QStringLiteral("only comments")));
}

TEST(ProfileFileRead, SectionNameEndsAtTheFirstBracket)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path, "[a]b]\r\nk=1\r\n[c] trailing words\r\nk=2\r\n[open\r\nk=3\r\n");
    EXPECT_EQ(readFresh(path, QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("1"));
    EXPECT_EQ(readFresh(path, QStringLiteral("a]b"), QStringLiteral("k")), None);
    // "[open" has no "]": it is no section line, so k=3 belongs to c, where the first k counts.
    EXPECT_EQ(readFresh(path, QStringLiteral("c"), QStringLiteral("k")), QStringLiteral("2"));
    EXPECT_FALSE(sectionFresh(path, QStringLiteral("open")));
}

TEST(ProfileFileRead, EntriesBeforeTheFirstSectionDoNotCount)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path, "k=0\r\n[s]\r\nk=1\r\n");
    EXPECT_EQ(readFresh(path, QString(), QStringLiteral("k")), None);
    EXPECT_EQ(readFresh(path, QStringLiteral("s"), QStringLiteral("k")), QStringLiteral("1"));
}

TEST(ProfileFileRead, AcceptsLfAloneAndAMissingLastLineEnd)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path, "[a]\nk=lf\nj=crlf\r\n[b]\nlast=end");
    EXPECT_EQ(readFresh(path, QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("lf"));
    EXPECT_EQ(readFresh(path, QStringLiteral("a"), QStringLiteral("j")), QStringLiteral("crlf"));
    EXPECT_EQ(readFresh(path, QStringLiteral("b"), QStringLiteral("last")), QStringLiteral("end"));
}

TEST(ProfileFileRead, SectionExistsOnlyWithAnEntry)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path, "[empty]\r\n[full]\r\nk=\r\n[blank]\r\n\r\n");
    EXPECT_FALSE(sectionFresh(path, QStringLiteral("empty")));
    EXPECT_TRUE(sectionFresh(path, QStringLiteral("full")));  // an empty value is still an entry
    EXPECT_FALSE(sectionFresh(path, QStringLiteral("blank")));
    EXPECT_FALSE(sectionFresh(path, QStringLiteral("missing")));
}

TEST(ProfileFileRead, FirstOfDuplicateSectionsAndKeysCounts)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path,
               "[a]\r\nk=first\r\nK=second\r\n"
               "[A]\r\nk=third\r\nj=only in the duplicate\r\n"
               "[e]\r\n"
               "[E]\r\nk=in the duplicate\r\n");
    EXPECT_EQ(readFresh(path, QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("first"));
    EXPECT_EQ(readFresh(path, QStringLiteral("a"), QStringLiteral("j")), None);
    EXPECT_FALSE(sectionFresh(path, QStringLiteral("e")));  // the first one is empty, and it counts
    EXPECT_EQ(readFresh(path, QStringLiteral("e"), QStringLiteral("k")), None);
}

TEST(ProfileFileRead, AFolderInsteadOfAFileReadsAsEmpty)
{
    TempFolder dir;
    const QString path = dir.makeFolder(QStringLiteral("info.txt"));
    EXPECT_EQ(readFresh(path, QStringLiteral("head"), QStringLiteral("name")), None);
    EXPECT_FALSE(sectionFresh(path, QStringLiteral("head")));
}

// Reading a section's keys at once gives what reading each key does, also where values repeat
// from section to section, where a line alike follows one that differs, and after a write
// changed one of them.
TEST(ProfileFileRead, SectionReadsGiveEachSectionItsOwnValues)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path,
               "[a]\r\ndate=1.1.2004\r\ndesc=\"Same\"\r\n"
               "[b]\r\ndate=1.1.2004\r\ndesc=\"Same\"\r\n"
               "[c]\r\ndate=2.1.2004\r\ndesc=\"two\r\nlines\"\r\n"
               "[d]\r\ndate=1.1.2004\r\ndesc=\"two\r\nlines\"\r\n"
               "[e]\r\nDATE=1.1.2004\r\n");
    ProfileFile file(path, Encoding::Windows1250, ProfileFile::Start::FromFile, QStringLiteral("desc"));
    const QStringList keys{QStringLiteral("date"), QStringLiteral("desc")};
    const auto matchesEachKey = [&](const QString& section) {
        const auto values = file.ReadSection(section, keys, None);
        ASSERT_TRUE(values) << qPrintable(section);
        for (qsizetype k = 0; k < keys.size(); ++k)
            EXPECT_EQ((*values)[k], file.ReadString(section, keys[k], None)) << qPrintable(section + u'/' + keys[k]);
    };
    for (const char* section : {"a", "b", "c", "d", "e", "a"})
        matchesEachKey(QString::fromLatin1(section));
    file.WriteString(QStringLiteral("b"), QStringLiteral("date"), QStringLiteral("3.1.2004"));
    file.WriteString(QStringLiteral("a"), QStringLiteral("desc"), QStringLiteral("\"Other\""));
    for (const char* section : {"a", "b", "d", "a", "b"})
        matchesEachKey(QString::fromLatin1(section));
    EXPECT_EQ(file.ReadSection(QStringLiteral("b"), keys, None)->front(), QStringLiteral("3.1.2004"));
    EXPECT_EQ(file.ReadSection(QStringLiteral("c"), keys, None)->back(), QStringLiteral("two\nlines"));
}

TEST(ProfileFileRead, TheFileIsReadOncePerObject)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path, "[s]\r\nk=old\r\n");
    ProfileFile file(path, Encoding::Windows1250);
    EXPECT_EQ(file.ReadString(QStringLiteral("s"), QStringLiteral("k"), None), QStringLiteral("old"));
    writeBytes(path, "[s]\r\nk=new\r\n");
    EXPECT_EQ(file.ReadString(QStringLiteral("s"), QStringLiteral("k"), None), QStringLiteral("old"));
    EXPECT_EQ(readFresh(path, QStringLiteral("s"), QStringLiteral("k")), QStringLiteral("new"));
}

// ---------------------------------------------------------------------------------------------
// Values over several lines

TEST(ProfileFileMultiLine, AnOpenDoubleQuoteRunsToTheLineWithTheClosingQuote)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path,
               "[a]\r\n"
               "desc=\"first line\r\n"
               "[b]\r\n"
               "title=not an entry\r\n"
               "; not a comment\r\n"
               "\r\n"
               "  last line  \"\r\n"
               "name=A\r\n"
               "[c]\r\n"
               "title=C\r\n");
    EXPECT_EQ(readCaption(path, QStringLiteral("a"), QStringLiteral("desc")),
              QStringLiteral("first line\n[b]\ntitle=not an entry\n; not a comment\n\n  last line  "));
    EXPECT_EQ(readCaption(path, QStringLiteral("a"), QStringLiteral("name")), QStringLiteral("A"));
    EXPECT_EQ(readCaption(path, QStringLiteral("a"), QStringLiteral("title")), None);
    {
        ProfileFile caption(path, Encoding::Windows1250, ProfileFile::Start::FromFile, QStringLiteral("desc"));
        EXPECT_FALSE(caption.SectionExists(QStringLiteral("b")));
    }
    EXPECT_EQ(readFresh(path, QStringLiteral("a"), QStringLiteral("desc")), QStringLiteral("\"first line"))
        << "no value goes on over lines where no key may";
    EXPECT_TRUE(sectionFresh(path, QStringLiteral("b")));
    EXPECT_EQ(readCaption(path, QStringLiteral("c"), QStringLiteral("title")), QStringLiteral("C"));
}

TEST(ProfileFileMultiLine, LfAloneJoinsTheSameWay)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path, "[a]\ndesc=\"one\ntwo\"\nname=x\n");
    EXPECT_EQ(readCaption(path, QStringLiteral("a"), QStringLiteral("desc")), QStringLiteral("one\ntwo"));
    EXPECT_EQ(readCaption(path, QStringLiteral("a"), QStringLiteral("name")), QStringLiteral("x"));
}

TEST(ProfileFileMultiLine, OnlyAnUnclosedDoubleQuoteOfTheMultiLineKeyContinuesToALineItEnds)
{
    // Each case: the file, then what a/desc and the later entries read. A value goes on only
    // in the multi-line key, only from an unclosed double quote, and only up to a line whose
    // one double quote ends it; anything else leaves every line its own entry.
    struct Case {
        const char* file;
        QString desc;
        QString title;  // b/title
        const char* why;
    };
    const Case cases[] = {
        {"[a]\r\ndesc=\"x\" and more\r\n[b]\r\ntitle=B\r\n", QStringLiteral("\"x\" and more"), QStringLiteral("B"),
         "closed on its own line"},
        {"[a]\r\ndesc='open\r\n[b]\r\ntitle=B\r\n'\r\n", QStringLiteral("'open"), QStringLiteral("B"),
         "an apostrophe never opens"},
        {"[a]\r\ndesc=\"never closed\r\n[b]\r\ntitle=B\r\n", QStringLiteral("\"never closed"), QStringLiteral("B"),
         "closed nowhere"},
        {"[a]\r\ndesc=\"unclosed\r\n[b]\r\ntitle=B\r\ndesc=\"Popis\"\r\n", QStringLiteral("\"unclosed"),
         QStringLiteral("B"), "the next quote line opens and closes a value of its own"},
        {"[a]\r\ndesc=\"unclosed\r\n[b]\r\ntitle=B\r\nname=\"Ahoj\r\n", QStringLiteral("\"unclosed"),
         QStringLiteral("B"), "the next quote line does not end in it"},
        {"[a]\r\ndesc=\"two\r\nlines\"  \r\n[b]\r\ntitle=B\r\n", QStringLiteral("two\nlines"), QStringLiteral("B"),
         "a closing line may end in blanks"},
    };
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    for (const Case& c : cases) {
        writeBytes(path, c.file);
        EXPECT_EQ(readCaption(path, QStringLiteral("a"), QStringLiteral("desc")), c.desc) << c.why;
        EXPECT_EQ(readCaption(path, QStringLiteral("b"), QStringLiteral("title")), c.title) << c.why;
    }

    // Titles, names and dates never go on: a title typed as "Ahoj takes no other photo's section.
    writeBytes(path, cp1250(QStringLiteral("[p2]\r\ntitle=\"Ahoj\r\nname=Dva\r\n[p3]\r\ntitle=Tři\r\ndesc=\"Popis třetí\"\r\n")));
    EXPECT_EQ(readCaption(path, QStringLiteral("p2"), QStringLiteral("title")), QStringLiteral("\"Ahoj"));
    EXPECT_EQ(readCaption(path, QStringLiteral("p2"), QStringLiteral("name")), QStringLiteral("Dva"));
    EXPECT_EQ(readCaption(path, QStringLiteral("p3"), QStringLiteral("title")), QStringLiteral("Tři"));
    EXPECT_EQ(readCaption(path, QStringLiteral("p3"), QStringLiteral("desc")), QStringLiteral("Popis třetí"));
}

TEST(ProfileFileMultiLine, LineBreaksAreWrittenAsCrLfAndReadBackAsLf)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    {
        ProfileFile file(path, Encoding::Windows1250, ProfileFile::Start::FromFile, QStringLiteral("desc"));
        file.WriteString(QStringLiteral("lf"), QStringLiteral("desc"), QStringLiteral("\"a\nb\""));
        file.WriteString(QStringLiteral("crlf"), QStringLiteral("desc"), QStringLiteral("\"a\r\nb\""));
        file.WriteString(QStringLiteral("cr"), QStringLiteral("desc"), QStringLiteral("\"a\rb\""));
        file.WriteString(QStringLiteral("blank"), QStringLiteral("desc"), QStringLiteral("\"a\n\nb\n\""));
        EXPECT_EQ(file.ReadString(QStringLiteral("cr"), QStringLiteral("desc"), None), QStringLiteral("a\nb"));
    }
    EXPECT_EQ(readBytes(path), QByteArray("[lf]\r\ndesc=\"a\r\nb\"\r\n"
                                          "[crlf]\r\ndesc=\"a\r\nb\"\r\n"
                                          "[cr]\r\ndesc=\"a\r\nb\"\r\n"
                                          "[blank]\r\ndesc=\"a\r\n\r\nb\r\n\"\r\n"));
    for (const char* section : {"lf", "crlf", "cr"})
        EXPECT_EQ(readCaption(path, QString::fromLatin1(section), QStringLiteral("desc")), QStringLiteral("a\nb")) << section;
    EXPECT_EQ(readCaption(path, QStringLiteral("blank"), QStringLiteral("desc")), QStringLiteral("a\n\nb\n"));
}

TEST(ProfileFileMultiLine, ADescriptionWithSectionAndEntryLinesReadsBackWhole)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    const QString typed = QStringLiteral("  Výlet\n[IMG_0002]\ntitle=ukradeno\n; konec  ");
    {
        ProfileFile file(path, Encoding::Windows1250, ProfileFile::Start::FromFile, QStringLiteral("desc"));
        file.WriteString(QStringLiteral("IMG_0001"), QStringLiteral("desc"), u'"' + typed + u'"');
        file.WriteString(QStringLiteral("IMG_0001"), QStringLiteral("rights"), QStringLiteral("0"));
        file.WriteString(QStringLiteral("IMG_0002"), QStringLiteral("title"), QStringLiteral("vlastní"));
    }
    EXPECT_EQ(readCaption(path, QStringLiteral("IMG_0001"), QStringLiteral("desc")), typed);
    EXPECT_EQ(readCaption(path, QStringLiteral("IMG_0001"), QStringLiteral("rights")), QStringLiteral("0"));
    EXPECT_EQ(readCaption(path, QStringLiteral("IMG_0001"), QStringLiteral("title")), None);
    EXPECT_EQ(readCaption(path, QStringLiteral("IMG_0002"), QStringLiteral("title")), QStringLiteral("vlastní"));
}

TEST(ProfileFileMultiLine, AnUnquotedValueWithLineBreaksSplitsInTheFile)
{
    // Quoting is the caller's job: written verbatim, the later lines stand on their own.
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    EXPECT_EQ(writeOne(path, QStringLiteral("s"), QStringLiteral("title"), QStringLiteral("a\n[x]\nk=1")),
              QByteArray("[s]\r\ntitle=a\r\n[x]\r\nk=1\r\n"));
    EXPECT_EQ(readCaption(path, QStringLiteral("s"), QStringLiteral("title")), QStringLiteral("a"));
    EXPECT_EQ(readCaption(path, QStringLiteral("x"), QStringLiteral("k")), QStringLiteral("1"));
}

TEST(ProfileFileMultiLine, ReplacingAMultiLineEntryReplacesAllItsLines)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path,
               "[a]\r\n"
               "desc=\"one\r\n"
               "two\r\n"
               "three\"\r\n"
               "name=A\r\n"
               "[b]\r\n"
               "desc=\"last\r\n"
               "lines\"\r\n"
               "\r\n");
    {
        ProfileFile file(path, Encoding::Windows1250, ProfileFile::Start::FromFile, QStringLiteral("desc"));
        file.WriteString(QStringLiteral("a"), QStringLiteral("desc"), QStringLiteral("\"x\ny\""));
        file.WriteString(QStringLiteral("b"), QStringLiteral("desc"), QStringLiteral("single"));
        file.WriteString(QStringLiteral("b"), QStringLiteral("rights"), QStringLiteral("0"));
    }
    EXPECT_EQ(readBytes(path), QByteArray("[a]\r\n"
                                          "desc=\"x\r\ny\"\r\n"
                                          "name=A\r\n"
                                          "[b]\r\n"
                                          "desc=single\r\n"
                                          "rights=0\r\n"
                                          "\r\n"));
}

TEST(ProfileFileMultiLine, ANewKeyGoesAfterTheClosingLineOfAMultiLineLastEntry)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path, "[a]\r\ndesc=\"one\r\ntwo\"\r\n; note\r\n");
    {
        ProfileFile file(path, Encoding::Windows1250, ProfileFile::Start::FromFile, QStringLiteral("desc"));
        file.WriteString(QStringLiteral("a"), QStringLiteral("rights"), QStringLiteral("5"));
    }
    EXPECT_EQ(readBytes(path), QByteArray("[a]\r\ndesc=\"one\r\ntwo\"\r\nrights=5\r\n; note\r\n"));
}

TEST(ProfileFileMultiLine, AWriteThatWouldChangeHowFarAnUnclosedQuoteReachesIsRefused)
{
    // The quote opened in [a] is never closed: the line with the next quote does not close it.
    // A value ending in a quote written below it would close it and swallow [b] on reading.
    const QByteArray before = "[a]\r\ndesc=\"one\r\n[b]\r\ntitle=say \"hi\" there\r\n";
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path, before);
    ProfileFile file(path, Encoding::Windows1250, ProfileFile::Start::FromFile, QStringLiteral("desc"));
    file.WriteString(QStringLiteral("b"), QStringLiteral("title"), QStringLiteral("x\""));
    EXPECT_THROW(file.Flush(), EIniFileException);
    EXPECT_EQ(readBytes(path), before);

    // A write that leaves the reading as it is goes through.
    file.WriteString(QStringLiteral("b"), QStringLiteral("title"), QStringLiteral("plain"));
    file.Flush();
    EXPECT_EQ(readBytes(path), QByteArray("[a]\r\ndesc=\"one\r\n[b]\r\ntitle=plain\r\n"));
    EXPECT_EQ(readCaption(path, QStringLiteral("b"), QStringLiteral("title")), QStringLiteral("plain"));
}

// ---------------------------------------------------------------------------------------------
// Writing and the file's layout

TEST(ProfileFileWrite, ACaptionFileFromScratchIsExact)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    {
        ProfileFile file(path, Encoding::Windows1250);
        file.WriteString(QStringLiteral("head"), QStringLiteral("name"), QStringLiteral("Tatry"));
        file.WriteString(QStringLiteral("head"), QStringLiteral("date"), QStringLiteral("15.1.2004"));
        file.WriteString(QStringLiteral("head"), QStringLiteral("desc"), QStringLiteral("\"Návštěva Vysokých Tater\""));
        file.WriteString(QStringLiteral("head"), QStringLiteral("rights"), QStringLiteral("0"));
        file.WriteString(QStringLiteral("IMG_0001"), QStringLiteral("title"), QStringLiteral("Chata"));
        file.WriteString(QStringLiteral("IMG_0001"), QStringLiteral("name"), QStringLiteral("IMG_0001"));
        file.WriteString(QStringLiteral("IMG_0001"), QStringLiteral("date"), QStringLiteral("15.1.2004"));
        file.WriteString(QStringLiteral("IMG_0001"), QStringLiteral("desc"), QString());
        file.WriteString(QStringLiteral("IMG_0001"), QStringLiteral("rights"), QStringLiteral("0"));
    }
    const QByteArray expected = "[head]\r\n"
                                "name=Tatry\r\n"
                                "date=15.1.2004\r\n"
                                "desc=\"N\xe1v\x9at\xec" "va Vysok\xfd" "ch Tater\"\r\n"
                                "rights=0\r\n"
                                "[IMG_0001]\r\n"
                                "title=Chata\r\n"
                                "name=IMG_0001\r\n"
                                "date=15.1.2004\r\n"
                                "desc=\r\n"
                                "rights=0\r\n";
    EXPECT_EQ(readBytes(path), expected);
    EXPECT_EQ(readFresh(path, QStringLiteral("head"), QStringLiteral("desc")), QStringLiteral("Návštěva Vysokých Tater"));
    EXPECT_EQ(readFresh(path, QStringLiteral("img_0001"), QStringLiteral("desc")), QString());
    EXPECT_TRUE(sectionFresh(path, QStringLiteral("IMG_0001")));
}

TEST(ProfileFileWrite, SectionsAndKeysKeepTheOrderFirstWritten)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    {
        ProfileFile file(path, Encoding::Windows1250);
        file.WriteString(QStringLiteral("b"), QStringLiteral("z"), QStringLiteral("1"));
        file.WriteString(QStringLiteral("a"), QStringLiteral("y"), QStringLiteral("2"));
        file.WriteString(QStringLiteral("B"), QStringLiteral("x"), QStringLiteral("3"));
        file.WriteString(QStringLiteral("b"), QStringLiteral("Z"), QStringLiteral("4"));
    }
    EXPECT_EQ(readBytes(path), QByteArray("[b]\r\nz=4\r\nx=3\r\n[a]\r\ny=2\r\n"));
}

TEST(ProfileFileWrite, WritesReachTheDiskAtFlushOrDestructionOnly)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    {
        ProfileFile file(path, Encoding::Windows1250);
        file.WriteString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("1"));
        EXPECT_FALSE(QFileInfo::exists(path));
        file.Flush();
        EXPECT_EQ(readBytes(path), QByteArray("[s]\r\nk=1\r\n"));
        file.WriteString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("2"));
        EXPECT_EQ(readBytes(path), QByteArray("[s]\r\nk=1\r\n"));
        EXPECT_EQ(file.ReadString(QStringLiteral("s"), QStringLiteral("k"), None), QStringLiteral("2"));
    }
    EXPECT_EQ(readBytes(path), QByteArray("[s]\r\nk=2\r\n"));
}

TEST(ProfileFileWrite, ANewSectionIsAppendedAtTheEndWithNoBlankLine)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path, "[a]\r\nk=1\r\n\r\n; end\r\n");
    EXPECT_EQ(writeOne(path, QStringLiteral("b"), QStringLiteral("x"), QStringLiteral("2")),
              QByteArray("[a]\r\nk=1\r\n\r\n; end\r\n[b]\r\nx=2\r\n"));

    writeBytes(path, "[a]\r\nk=1");
    EXPECT_EQ(writeOne(path, QStringLiteral("b"), QStringLiteral("x"), QStringLiteral("2")),
              QByteArray("[a]\r\nk=1\r\n[b]\r\nx=2\r\n"));

    writeBytes(path, "[a]\nk=1\n");
    EXPECT_EQ(writeOne(path, QStringLiteral("b"), QStringLiteral("x"), QStringLiteral("2")),
              QByteArray("[a]\nk=1\n[b]\r\nx=2\r\n"));

    writeBytes(path, "");
    EXPECT_EQ(writeOne(path, QStringLiteral("b"), QStringLiteral("x"), QStringLiteral("2")),
              QByteArray("[b]\r\nx=2\r\n"));
}

TEST(ProfileFileWrite, ALastLineEndingInACrAloneGetsOnlyItsLf)
{
    // The CR ends the line when it is read; a line written after it must neither start on the
    // same line nor turn that CR into part of the value.
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path, "[a]\r\nk=1\r");
    EXPECT_EQ(writeOne(path, QStringLiteral("b"), QStringLiteral("x"), QStringLiteral("2")),
              QByteArray("[a]\r\nk=1\r\n[b]\r\nx=2\r\n"));
    EXPECT_EQ(readFresh(path, QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("1"));
    EXPECT_EQ(readFresh(path, QStringLiteral("b"), QStringLiteral("x")), QStringLiteral("2"));

    writeBytes(path, "[a]\r\nk=1\r");
    EXPECT_EQ(writeOne(path, QStringLiteral("a"), QStringLiteral("j"), QStringLiteral("3")),
              QByteArray("[a]\r\nk=1\r\nj=3\r\n"));
    EXPECT_EQ(readFresh(path, QStringLiteral("a"), QStringLiteral("k")), QStringLiteral("1"));

    // A file that is one CR (an empty line without its LF).
    writeBytes(path, "\r");
    EXPECT_EQ(writeOne(path, QStringLiteral("b"), QStringLiteral("x"), QStringLiteral("2")),
              QByteArray("\r\n[b]\r\nx=2\r\n"));
    EXPECT_EQ(readFresh(path, QStringLiteral("b"), QStringLiteral("x")), QStringLiteral("2"));
    writeBytes(path, "\xef\xbb\xbf\r");
    EXPECT_EQ(writeOne(path, QStringLiteral("b"), QStringLiteral("x"), QStringLiteral("2")),
              QByteArray("\xef\xbb\xbf\r\n[b]\r\nx=2\r\n"));
    EXPECT_EQ(readFresh(path, QStringLiteral("b"), QStringLiteral("x")), QStringLiteral("2"));
}

TEST(ProfileFileWrite, ANewKeyGoesDirectlyAfterTheLastEntryOfItsSection)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path, "[a]\r\nk=1\r\njunk line\r\n\r\n;note\r\n[b]\r\nm=2\r\n");
    EXPECT_EQ(writeOne(path, QStringLiteral("A"), QStringLiteral("j"), QStringLiteral("3")),
              QByteArray("[a]\r\nk=1\r\nj=3\r\njunk line\r\n\r\n;note\r\n[b]\r\nm=2\r\n"));

    // A section without entries gets its first one right after its section line.
    writeBytes(path, "[a]\r\n;note\r\n[b]\r\nm=2\r\n");
    EXPECT_EQ(writeOne(path, QStringLiteral("a"), QStringLiteral("j"), QStringLiteral("3")),
              QByteArray("[a]\r\nj=3\r\n;note\r\n[b]\r\nm=2\r\n"));

    // The last line of the file had no line end.
    writeBytes(path, "[a]\r\nk=1");
    EXPECT_EQ(writeOne(path, QStringLiteral("a"), QStringLiteral("j"), QStringLiteral("3")),
              QByteArray("[a]\r\nk=1\r\nj=3\r\n"));
    writeBytes(path, "[a]");
    EXPECT_EQ(writeOne(path, QStringLiteral("a"), QStringLiteral("j"), QStringLiteral("3")),
              QByteArray("[a]\r\nj=3\r\n"));
}

TEST(ProfileFileWrite, ReplacingKeepsTheFileSpellingAndRewritesOnlyThatLine)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path, "; top\r\n  [Head]  \r\n \t Name \t= old  \r\n\tDate=1.1.2000\n[x]\r\nName=keep\r\n");
    EXPECT_EQ(writeOne(path, QStringLiteral("HEAD"), QStringLiteral("name"), QStringLiteral("new")),
              QByteArray("; top\r\n  [Head]  \r\nName=new\r\n\tDate=1.1.2000\n[x]\r\nName=keep\r\n"));
    // A line that ended in LF alone is written with CR LF; its neighbours keep theirs.
    EXPECT_EQ(writeOne(path, QStringLiteral("head"), QStringLiteral("date"), QStringLiteral("2.2.2002")),
              QByteArray("; top\r\n  [Head]  \r\nName=new\r\nDate=2.2.2002\r\n[x]\r\nName=keep\r\n"));
}

TEST(ProfileFileWrite, EveryUntouchedByteStaysAsItWas)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    // Bytes Windows-1250 leaves undefined (0x81, 0x98), a NUL, trailing blanks, odd lines and
    // mixed line ends; the first two bytes look like the start of a byte-order mark but are not one.
    const char raw[] = "\xef\xbb" "x\r\n"
                       "; \x81\x98 comment\r\n"
                       "[s]   \t\r\n"
                       "k=1\r\n"
                       "odd \x81 line\n"
                       "z=\x98\0\x81\r\n"
                       "   \r\n";
    const QByteArray before(raw, sizeof(raw) - 1);
    ASSERT_EQ(before.count('\0'), 1);
    writeBytes(path, before);
    const QByteArray written = writeOne(path, QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("2"));
    QByteArray expected = before;
    expected.replace("k=1\r\n", "k=2\r\n");
    EXPECT_EQ(written, expected);
}

TEST(ProfileFileWrite, DuplicatesWriteIntoTheOneThatCounts)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path, "[a]\r\nk=1\r\nk=2\r\n[A]\r\nk=3\r\n[e]\r\n[E]\r\nj=4\r\n");
    {
        ProfileFile file(path, Encoding::Windows1250);
        file.WriteString(QStringLiteral("a"), QStringLiteral("K"), QStringLiteral("x"));
        file.WriteString(QStringLiteral("e"), QStringLiteral("j"), QStringLiteral("y"));
    }
    EXPECT_EQ(readBytes(path), QByteArray("[a]\r\nk=x\r\nk=2\r\n[A]\r\nk=3\r\n[e]\r\nj=y\r\n[E]\r\nj=4\r\n"));
    EXPECT_EQ(readFresh(path, QStringLiteral("e"), QStringLiteral("j")), QStringLiteral("y"));
}

TEST(ProfileFileWrite, ValuesAreWrittenVerbatim)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    {
        ProfileFile file(path, Encoding::Windows1250);
        file.WriteString(QStringLiteral("s"), QStringLiteral("plain"), QStringLiteral("  blanks  "));
        file.WriteString(QStringLiteral("s"), QStringLiteral("quoted"), QStringLiteral("\"  blanks  \""));
        file.WriteString(QStringLiteral("s"), QStringLiteral("odd"), QStringLiteral("a;b=c[d]\\n'"));
        file.WriteString(QStringLiteral("s"), QStringLiteral("empty"), QString());
    }
    EXPECT_EQ(readBytes(path), QByteArray("[s]\r\nplain=  blanks  \r\nquoted=\"  blanks  \"\r\n"
                                          "odd=a;b=c[d]\\n'\r\nempty=\r\n"));
    EXPECT_EQ(readFresh(path, QStringLiteral("s"), QStringLiteral("plain")), QStringLiteral("blanks"));
    EXPECT_EQ(readFresh(path, QStringLiteral("s"), QStringLiteral("quoted")), QStringLiteral("  blanks  "));
    EXPECT_EQ(readFresh(path, QStringLiteral("s"), QStringLiteral("odd")), QStringLiteral("a;b=c[d]\\n'"));
    EXPECT_EQ(readFresh(path, QStringLiteral("s"), QStringLiteral("empty")), QString());
}

TEST(ProfileFileWrite, NamesGivenByTheCallerLoseBlanksOnly)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    {
        ProfileFile file(path, Encoding::Windows1250);
        file.WriteString(QStringLiteral("  head "), QStringLiteral(" name "), QStringLiteral("a"));
        file.WriteString(QStringLiteral("HEAD"), QStringLiteral("NAME"), QStringLiteral("b"));
    }
    EXPECT_EQ(readBytes(path), QByteArray("[head]\r\nname=b\r\n"));
}

TEST(ProfileFileWrite, CzechTextIsWrittenInWindows1250)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    EXPECT_EQ(writeOne(path, QStringLiteral("Žďár"), QStringLiteral("název"), QStringLiteral("Příliš žluťoučký kůň €")),
              QByteArray("[\x8e\xef\xe1r]\r\nn\xe1zev=P\xf8\xedli\x9a \x9elu\x9do" "u\xe8k\xfd k\xf9\xf2 \x80\r\n"));
    EXPECT_EQ(readFresh(path, QStringLiteral("žĎÁR"), QStringLiteral("NÁZEV")), QStringLiteral("Příliš žluťoučký kůň €"));
}

TEST(ProfileFileWrite, TheSettingsEncodingIsUtf8WithoutAMark)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("albisko.ini"));
    {
        ProfileFile file(path, Encoding::Utf8);
        file.WriteString(QStringLiteral("Nastavení"), QStringLiteral("LastFolder"), QStringLiteral("/fotky/日本/Žďár"));
    }
    EXPECT_EQ(readBytes(path), QStringLiteral("[Nastavení]\r\nLastFolder=/fotky/日本/Žďár\r\n").toUtf8());
    ProfileFile file(path, Encoding::Utf8);
    EXPECT_EQ(file.ReadString(QStringLiteral("nastavení"), QStringLiteral("lastfolder"), None),
              QStringLiteral("/fotky/日本/Žďár"));
}

TEST(ProfileFileWrite, AFileWithAByteOrderMarkStaysUtf8WithTheMark)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    const QByteArray before = "\xef\xbb\xbf[head]\r\nname=\xc4\x9b\r\n";  // ě in UTF-8
    writeBytes(path, before);
    EXPECT_EQ(readFresh(path, QStringLiteral("head"), QStringLiteral("name")), QStringLiteral("ě"));
    EXPECT_EQ(writeOne(path, QStringLiteral("head"), QStringLiteral("desc"), QStringLiteral("š 日")),
              before + "desc=\xc5\xa1 \xe6\x97\xa5\r\n");

    // A file holding the mark alone gets its first section right after it.
    writeBytes(path, "\xef\xbb\xbf");
    EXPECT_EQ(writeOne(path, QStringLiteral("head"), QStringLiteral("name"), QStringLiteral("ž")),
              QByteArray("\xef\xbb\xbf[head]\r\nname=\xc5\xbe\r\n"));
}

// ---------------------------------------------------------------------------------------------
// Characters the file's encoding cannot hold

TEST(ProfileFileEncoding, CanEncodeTellsWhatTheEncodingHolds)
{
    EXPECT_TRUE(ProfileFile::canEncode(QStringLiteral("Příliš žluťoučký kůň úpěl ďábelské ódy €„“"), Encoding::Windows1250));
    EXPECT_TRUE(ProfileFile::canEncode(QStringLiteral("plain ASCII ?\x01"), Encoding::Windows1250));
    EXPECT_TRUE(ProfileFile::canEncode(QString(), Encoding::Windows1250));
    EXPECT_FALSE(ProfileFile::canEncode(QStringLiteral("日本"), Encoding::Windows1250));
    EXPECT_TRUE(ProfileFile::canEncode(QStringLiteral("Straße"), Encoding::Windows1250));
    EXPECT_FALSE(ProfileFile::canEncode(QStringLiteral("año"), Encoding::Windows1250));
    EXPECT_FALSE(ProfileFile::canEncode(QStringLiteral("Ωmega"), Encoding::Windows1250));
    EXPECT_TRUE(ProfileFile::canEncode(QStringLiteral("日本 Ωmega 😀"), Encoding::Utf8));
    EXPECT_FALSE(ProfileFile::canEncode(QString(QChar(0xD800)) + u'x', Encoding::Utf8));  // half a surrogate pair
}

TEST(ProfileFileEncoding, TextTheFileCannotHoldIsRefusedAndNothingChanges)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    const QByteArray before = "[s]\r\nk=1\r\n";
    writeBytes(path, before);
    {
        ProfileFile file(path, Encoding::Windows1250);
        const QString expected = QStringLiteral("Unable to write to ") + path;
        EXPECT_EQ(writeError([&] { file.WriteString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("日")); }), expected);
        EXPECT_EQ(writeError([&] { file.WriteString(QStringLiteral("s"), QStringLiteral("日"), QStringLiteral("x")); }), expected);
        EXPECT_EQ(writeError([&] { file.WriteString(QStringLiteral("日"), QStringLiteral("k"), QStringLiteral("x")); }), expected);
        EXPECT_EQ(file.ReadString(QStringLiteral("s"), QStringLiteral("k"), None), QStringLiteral("1"));
        EXPECT_FALSE(file.SectionExists(QStringLiteral("日")));
        file.Flush();
    }
    EXPECT_EQ(readBytes(path), before);
}

// ---------------------------------------------------------------------------------------------
// Files that cannot be written, and keeping the old file whole

TEST(ProfileFileFailure, AMissingFolderIsRefusedAtTheFirstWriteNamingThePath)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("missing/info.txt"));
    ProfileFile file(path, Encoding::Windows1250);
    EXPECT_EQ(writeError([&] { file.WriteString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("v")); }),
              QStringLiteral("Unable to write to ") + path);
    EXPECT_EQ(file.ReadString(QStringLiteral("s"), QStringLiteral("k"), None), None);
    EXPECT_NO_THROW(file.Flush());
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("missing"))));
}

TEST(ProfileFileFailure, AParentThatIsAFileIsRefused)
{
    TempFolder dir;
    writeBytes(dir.file(QStringLiteral("plain")), "x");
    const QString path = dir.file(QStringLiteral("plain/info.txt"));
    ProfileFile file(path, Encoding::Windows1250);
    EXPECT_EQ(writeError([&] { file.WriteString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("v")); }),
              QStringLiteral("Unable to write to ") + path);
    EXPECT_EQ(readBytes(dir.file(QStringLiteral("plain"))), QByteArray("x"));
}

TEST(ProfileFileFailure, AFolderInThePlaceOfTheFileIsRefused)
{
    TempFolder dir;
    const QString path = dir.makeFolder(QStringLiteral("info.txt"));
    writeBytes(dir.file(QStringLiteral("info.txt/inside")), "x");
    {
        ProfileFile file(path, Encoding::Windows1250);
        EXPECT_FALSE(writeError([&] { file.WriteString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("v")); }).isEmpty());
    }
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_EQ(folderEntries(path), QStringList{QStringLiteral("inside")});
}

TEST(ProfileFileFailure, TheOldFilePermissionsAreKept)
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path, "[s]\r\nk=1\r\n");
    const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(path, mode));
    EXPECT_EQ(writeOne(path, QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("2")), QByteArray("[s]\r\nk=2\r\n"));
    EXPECT_EQ(QFileInfo(path).permissions() & ~(QFile::ReadUser | QFile::WriteUser), mode);
    EXPECT_EQ(folderEntries(dir.path()), QStringList{QStringLiteral("info.txt")});  // no temporary left behind
}

TEST(ProfileFileFailure, AReadOnlyMediumIsRefusedAndItsFileStillReads)
{
    TempFolder dir;
    const QString mountPoint = dir.makeFolder(QStringLiteral("medium"));
    Tmpfs medium(mountPoint, 0);
    if (!medium.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here: " << medium.error();
    const QString path = mountPoint + QStringLiteral("/info.txt");
    const QByteArray before = "[head]\r\nname=Tatry\r\n";
    writeBytes(path, before);
    ASSERT_TRUE(medium.remountReadOnly()) << std::strerror(errno);

    {
        ProfileFile file(path, Encoding::Windows1250);
        EXPECT_EQ(file.ReadString(QStringLiteral("head"), QStringLiteral("name"), None), QStringLiteral("Tatry"));
        EXPECT_EQ(writeError([&] { file.WriteString(QStringLiteral("head"), QStringLiteral("name"), QStringLiteral("x")); }),
                  QStringLiteral("Unable to write to ") + path);
        EXPECT_EQ(file.ReadString(QStringLiteral("head"), QStringLiteral("name"), None), QStringLiteral("Tatry"));
    }
    const QString fresh = mountPoint + QStringLiteral("/~info.txt");
    {
        ProfileFile file(fresh, Encoding::Windows1250);
        EXPECT_FALSE(writeError([&] { file.WriteString(QStringLiteral("head"), QStringLiteral("name"), QStringLiteral("x")); }).isEmpty());
    }
    EXPECT_EQ(readBytes(path), before);
    EXPECT_FALSE(QFileInfo::exists(fresh));
}

TEST(ProfileFileFailure, AFullDiskLeavesTheOldFileWholeWhateverTheFileSize)
{
    // Small files matter most: they fit a write buffer whole, and a failure that only shows when
    // it is flushed must still be noticed before the old file is replaced.
    TempFolder dir;
    const QString mountPoint = dir.makeFolder(QStringLiteral("disk"));
    Tmpfs disk(mountPoint, 0);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here: " << disk.error();
    const QString path = mountPoint + QStringLiteral("/info.txt");
    const QByteArray before = "[head]\r\nname=Tatry\r\n";
    writeBytes(path, before);
    fillDisk(mountPoint);

    for (const qsizetype size : {1, 1500, 20000}) {
        for (const auto encoding : {Encoding::Windows1250, Encoding::Utf8}) {
            {
                ProfileFile file(path, encoding);
                file.WriteString(QStringLiteral("head"), QStringLiteral("desc"), QString(size, u'd'));
                EXPECT_EQ(writeError([&] { file.Flush(); }), QStringLiteral("Unable to write to ") + path) << size;
                // Leaving the scope flushes again; that failure must stay inside the destructor.
            }
            EXPECT_EQ(readBytes(path), before) << size;
            EXPECT_EQ(folderEntries(mountPoint), (QStringList{QStringLiteral("filler"), QStringLiteral("info.txt")}));
        }
    }
}

TEST(ProfileFileFailure, AWritableFileInAFolderThatRefusesNewFilesIsRefusedAndNeverWrittenInPlace)
{
    TempFolder dir;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                      QFile::ReadOther | QFile::ExeOther));
    const QString folder = dir.makeFolder(QStringLiteral("locked"));
    const QString path = folder + QStringLiteral("/info.txt");
    writeBytes(path, "[s]\r\nk=1\r\n");
    const auto anyone = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther;
    ASSERT_TRUE(QFile::setPermissions(path, anyone));
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                  QFile::ReadOther | QFile::ExeOther));

    const int result = runUnprivileged([&] {
        try {
            ProfileFile file(path, Encoding::Windows1250);
            file.WriteString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("2"));
            file.WriteString(QStringLiteral("t"), QStringLiteral("j"), QStringLiteral("3"));
            file.Flush();
            return 0;
        } catch (const EIniFileException&) {
            return 1;
        }
    });
    ASSERT_NE(result, 100) << "could not take the rights of nobody";
    // Rewriting the only copy in place would leave it cut short if the program died meanwhile.
    EXPECT_EQ(result, 1);
    EXPECT_EQ(readBytes(path), QByteArray("[s]\r\nk=1\r\n"));
    EXPECT_EQ(folderEntries(folder), QStringList{QStringLiteral("info.txt")});
}

TEST(ProfileFileFailure, AReadOnlyFileOrAFolderThatRefusesNewFilesIsRefused)
{
    TempFolder dir;
    const auto openFolder = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), openFolder));
    const QString locked = dir.makeFolder(QStringLiteral("locked"));
    ASSERT_TRUE(QFile::setPermissions(locked, openFolder));
    const QString writable = dir.makeFolder(QStringLiteral("writable"));
    ASSERT_TRUE(QFile::setPermissions(writable, openFolder | QFile::WriteOther));
    const QString readOnlyFile = writable + QStringLiteral("/info.txt");
    writeBytes(readOnlyFile, "[s]\r\nk=1\r\n");
    ASSERT_TRUE(QFile::setPermissions(readOnlyFile, QFile::ReadOwner | QFile::ReadOther));

    const QString newFile = locked + QStringLiteral("/info.txt");
    const int result = runUnprivileged([&] {
        int refused = 0;
        for (const QString& path : {readOnlyFile, newFile}) {
            try {
                ProfileFile file(path, Encoding::Windows1250);
                file.WriteString(QStringLiteral("s"), QStringLiteral("k"), QStringLiteral("2"));
            } catch (const EIniFileException&) {
                ++refused;
            }
        }
        return refused;
    });
    ASSERT_NE(result, 100) << "could not take the rights of nobody";
    EXPECT_EQ(result, 2);
    EXPECT_EQ(readBytes(readOnlyFile), QByteArray("[s]\r\nk=1\r\n"));
    EXPECT_EQ(folderEntries(writable), QStringList{QStringLiteral("info.txt")});
    EXPECT_TRUE(folderEntries(locked).isEmpty());
}

// A file that is there but cannot be read is never replaced: what it holds is unknown and would
// be lost. Root reads any file whatever its mode (and a FIFO or a folder named so is no file at
// all), so the writers run as the user "nobody", who owns the file and may only write it. Both
// writers refuse it, and it stays byte for byte.
TEST(ProfileFileFailure, AFileThatExistsButCannotBeReadIsRefusedByBothWritersAndLeftAsItWas)
{
    TempFolder dir;
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                      QFile::ReadOther | QFile::ExeOther));
    const QString folder = dir.makeFolder(QStringLiteral("album"));
    const QString path = folder + QStringLiteral("/info.txt");
    const QByteArray before = "[head]\r\nname=Tatry\r\n";
    writeBytes(path, before);
    ASSERT_TRUE(QFile::setPermissions(path, QFile::WriteOwner));
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(QFile::encodeName(folder).constData(), 65534, 65534), 0);
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
    }
    const int refused = runUnprivileged([&] {
        int refusedBy = 0;  // 1: ProfileFile, 2: ProfileWriter
        try {
            ProfileFile file(path, Encoding::Windows1250);
            file.WriteString(QStringLiteral("head"), QStringLiteral("name"), QStringLiteral("new"));
            file.Flush();
        } catch (const EIniFileException&) {
            refusedBy |= 1;
        }
        try {
            storage::ProfileWriter writer(path, Encoding::Windows1250);
            writer.WriteString(QStringLiteral("head"), QStringLiteral("name"), QStringLiteral("new"));
            writer.Flush();
        } catch (const EIniFileException&) {
            refusedBy |= 2;
        }
        return refusedBy;
    });
    ASSERT_NE(refused, 100) << "could not take the rights of nobody";
    EXPECT_EQ(refused, 3);
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(folderEntries(folder), QStringList{QStringLiteral("info.txt")});
}

// ---------------------------------------------------------------------------------------------
// Size

namespace {

// Writes a caption-like file of `sections` sections of five keys, returning the best of three
// times in nanoseconds.
qint64 bestWriteTime(const TempFolder& dir, int sections)
{
    qint64 best = std::numeric_limits<qint64>::max();
    for (int round = 0; round < 3; ++round) {
        const QString path = dir.file(QStringLiteral("size%1-%2.txt").arg(sections).arg(round));
        QElapsedTimer timer;
        timer.start();
        {
            ProfileFile file(path, Encoding::Windows1250);
            for (int i = 0; i < sections; ++i) {
                const QString section = QStringLiteral("IMG_%1").arg(i, 5, 10, QLatin1Char('0'));
                file.WriteString(section, QStringLiteral("title"), QStringLiteral("Chata pod Kriváněm %1").arg(i));
                file.WriteString(section, QStringLiteral("name"), section);
                file.WriteString(section, QStringLiteral("date"), QStringLiteral("15.1.2004"));
                file.WriteString(section, QStringLiteral("desc"), QStringLiteral("\"Návštěva Vysokých Tater\""));
                file.WriteString(section, QStringLiteral("rights"), QStringLiteral("0"));
            }
        }
        best = std::min(best, timer.nsecsElapsed());
    }
    return best;
}

}  // namespace

TEST(ProfileFileSize, WritingGrowsLinearlyWithTheNumberOfSections)
{
    TempFolder dir;
    const qint64 small = bestWriteTime(dir, 1000);
    const qint64 large = bestWriteTime(dir, 10000);
    EXPECT_LT(large, 25 * small) << "1,000 sections: " << small / 1000 << " us, 10,000: " << large / 1000 << " us";

    const QString path = dir.file(QStringLiteral("size10000-0.txt"));
    ProfileFile file(path, Encoding::Windows1250);
    EXPECT_TRUE(file.SectionExists(QStringLiteral("img_09999")));
    EXPECT_EQ(file.ReadString(QStringLiteral("IMG_05000"), QStringLiteral("title"), None),
              QStringLiteral("Chata pod Kriváněm 5000"));
    EXPECT_EQ(file.ReadString(QStringLiteral("IMG_00000"), QStringLiteral("desc"), None),
              QStringLiteral("Návštěva Vysokých Tater"));
    EXPECT_EQ(readBytes(path).count("\r\n"), 60000);
}

// One section of many keys (a settings file grown by another program), each key repeated further
// down in other spellings: the first counts when it is read, rewritten and added to, and every
// lookup compares a few entries at most, however big the section. (Walking the section's
// entries from its start for each key made reading such a file take minutes.)
TEST(ProfileFileSize, KeysOfABigSectionAreFoundInAFewComparisonsAndTheFirstCounts)
{
    constexpr int Keys = 20000;
    QByteArray head = "[head]\r\n";
    for (int i = 0; i < Keys; ++i)
        head += "Key" + QByteArray::number(i) + "=v" + QByteArray::number(i) + "\r\n";
    for (int i = 0; i < Keys; i += 7)
        head += "KEY" + QByteArray::number(i) + "=dup\r\n \tkey" + QByteArray::number(i) + " = dup\r\n";
    // A later section of the same name counts for nothing; a quote never closed makes Flush
    // read the file back.
    const QByteArray rest = "[HEAD]\r\nkey1=other\r\n[z]\r\ndesc=\"never closed\r\n";
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    writeBytes(path, head + rest);

    QByteArray added;
    {
        ProfileFile file(path, Encoding::Windows1250, ProfileFile::Start::FromFile, QStringLiteral("desc"));
        int wrong = 0;
        for (int i = 0; i < Keys; ++i)
            wrong += file.ReadString(QStringLiteral("Head"), QStringLiteral("kEY%1").arg(i), None) != QStringLiteral("v%1").arg(i);
        EXPECT_EQ(wrong, 0);
        file.WriteString(QStringLiteral("HEAD"), QStringLiteral("key7"), QStringLiteral("written"));
        for (int i = 0; i < 1000; ++i) {
            file.WriteString(QStringLiteral("head"), QStringLiteral("new%1").arg(i), QStringLiteral("n"));
            added += "new" + QByteArray::number(i) + "=n\r\n";
        }
        file.Flush();
        const qint64 lines = head.count('\n') + 1000;
        EXPECT_LT(file.entryComparisons(), quint64(8 * lines)) << "lookups walk the section";
    }
    QByteArray expected = head + added + rest;
    expected.replace("\nKey7=v7\r\n", "\nKey7=written\r\n");
    EXPECT_EQ(readBytes(path), expected);
    EXPECT_EQ(readFresh(path, QStringLiteral("head"), QStringLiteral("KEY7")), QStringLiteral("written"));
    EXPECT_EQ(readFresh(path, QStringLiteral("head"), QStringLiteral("key14")), QStringLiteral("v14"));
}

// The writer that replaces a file whole writes it piece by piece: a file of many pieces, in each
// encoding, holds exactly what a profile started empty holds after the same writes; an error
// that ends the writing (a value the file cannot hold) leaves the old file byte for byte and
// nothing beside it, for both kinds of profile.
TEST(ProfileWriter, WritesWhatAnEmptyProfileWouldAndNothingWhenAnErrorEndsTheWriting)
{
    for (const Encoding encoding : {Encoding::Windows1250, Encoding::Utf8, Encoding::Utf8WithBom}) {
        TempFolder dir;
        const QString written = dir.file(QStringLiteral("writer.txt"));
        const QString reference = dir.file(QStringLiteral("reference.txt"));
        {
            storage::ProfileWriter writer(written, encoding);
            ProfileFile empty(reference, encoding, ProfileFile::Start::Empty, QStringLiteral("desc"));
            for (int s = 0; s < 4000; ++s) {
                const QString section = QStringLiteral("Fotka_%1").arg(s);
                // Values of every length, so that entries and multi-byte letters fall across the
                // ends of pieces; a line break becomes CR LF.
                const QString value = QStringLiteral("Žluťoučký kůň ").repeated(s % 23) + QStringLiteral("\nřádek");
                for (const QString& key : {QStringLiteral("title"), QStringLiteral("name"), QStringLiteral("desc")}) {
                    writer.WriteString(section, key, value);
                    empty.WriteString(section, key, value);
                }
            }
            writer.Flush();
        }
        ASSERT_GT(QFileInfo(written).size(), 4 * 256 * 1024);
        EXPECT_EQ(readBytes(written), readBytes(reference)) << int(encoding);
    }

    TempFolder dir;
    const QString path = dir.file(QStringLiteral("info.txt"));
    const QByteArray old("[a]\r\ntitle=old\r\n");
    writeBytes(path, old);
    const auto endedByAnError = [&](auto& file) {
        file.WriteString(QStringLiteral("a"), QStringLiteral("title"), QStringLiteral("new"));
        file.WriteString(QStringLiteral("b"), QStringLiteral("title"), QStringLiteral("half \xD800"));
    };
    EXPECT_THROW(
        {
            storage::ProfileWriter writer(path, Encoding::Utf8);
            endedByAnError(writer);
        },
        EIniFileException);
    EXPECT_THROW(
        {
            ProfileFile file(path, Encoding::Windows1250);
            endedByAnError(file);
        },
        EIniFileException);
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("info.txt")});
}
