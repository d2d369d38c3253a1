// libFuzzer target: arbitrary bytes as a caption file ("info.txt") and as a settings file
// ("albisko.ini"), through the code that reads them.
//
// The bytes are written to a file and read with storage::ProfileFile the way the program reads
// them, once as a caption file (Windows-1250, descriptions may go on over lines) and once as the
// settings file (UTF-8, no value goes on): the album's "head" keys and the photo sections (SectionExists, then
// title, name, date, desc and rights, as the album's ReadCaptions does), rights and the
// settings' numbers converted with platform::tryStrToInt. Sections and keys the file names
// itself are read too. Then values are written into a copy of the file, flushed, and read back
// by a fresh object, which must see every written value and every other value as before.
//
// Any broken rule aborts with a message, which libFuzzer reports as a crash and keeps the input.
#include "album/Captions.h"
#include "platform/Errors.h"
#include "storage/ProfileFile.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <utility>

using storage::Encoding;
using storage::ProfileFile;

namespace {

constexpr qsizetype MaxValueLength = 2047;
constexpr int MaxNamesFromFile = 8;
// What a missing entry reads as here: no file can make ReadString return it for a missing entry.
const QString Missing = QStringLiteral("\x01missing");

[[noreturn]] void fail(const char* rule, const QString& detail = {})
{
    std::fprintf(stderr, "CaptionFileFuzz: %s%s%s\n", rule, detail.isEmpty() ? "" : ": ", qPrintable(detail));
    std::abort();
}

// `detail` makes the message's detail, only when the rule is broken.
template <class Detail> void check(bool ok, const char* rule, Detail detail)
{
    if (!ok)
        fail(rule, detail());
}

QString show(const QString& text)
{
    QString shown = text;
    shown.replace(u'\r', QStringLiteral("\\r")).replace(u'\n', QStringLiteral("\\n"));
    return QLatin1Char('"') + shown + QLatin1Char('"');
}

const QString& workFolder()
{
    static const QTemporaryDir dir;
    static const QString path = dir.isValid() ? dir.path() : QString();
    if (path.isEmpty())
        fail("no temporary folder");
    return path;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fail("cannot write the input file", path);
}

// The sections and keys the file names itself, as far as a plain look at its lines finds them,
// and its first line without its line end (up to 60 characters), as text to write.
struct Names {
    QStringList sections;
    QStringList keys;
    QString firstLine;
    Encoding encoding = Encoding::Windows1250;  // what the file is read as: a byte-order mark makes it UTF-8
};

Names namesIn(const QByteArray& bytes, Encoding encoding)
{
    static const QByteArray bom("\xEF\xBB\xBF");
    const bool utf8 = encoding == Encoding::Utf8 || bytes.startsWith(bom);
    QStringDecoder decoder = utf8 ? QStringDecoder(QStringConverter::Utf8) : QStringDecoder("windows-1250");
    const QString text = decoder.decode(bytes.startsWith(bom) ? bytes.sliced(bom.size()) : bytes);
    Names names;
    names.encoding = utf8 ? Encoding::Utf8 : Encoding::Windows1250;
    names.firstLine = text.first(text.indexOf(u'\n') < 0 ? text.size() : text.indexOf(u'\n'));
    if (names.firstLine.endsWith(u'\r'))
        names.firstLine.chop(1);
    names.firstLine.truncate(60);
    for (const QString& rawLine : text.split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            if (close > 0 && names.sections.size() < MaxNamesFromFile)
                names.sections << line.sliced(1, close - 1);
        } else if (const qsizetype eq = line.indexOf(u'='); eq >= 0 && names.keys.size() < MaxNamesFromFile) {
            names.keys << line.first(eq);
        }
    }
    names.sections.removeDuplicates();
    names.keys.removeDuplicates();
    return names;
}

const QStringList& captionKeys()
{
    static const QStringList keys{QStringLiteral("title"), QStringLiteral("name"), QStringLiteral("date"),
                                  QStringLiteral("desc"), QStringLiteral("rights")};
    return keys;
}

// Section names the program itself makes for photos (see album::sectionNames), and a few odd ones.
const QStringList& photoSections()
{
    static const QStringList sections{
        QStringLiteral("IMG_0001"), QStringLiteral("img_0002"), QStringLiteral("a"), QStringLiteral("a.JPG"),
        QStringLiteral("a.JPG~2"), QStringLiteral("tn"), QStringLiteral("&#8364;"), QStringLiteral("%E2%82%AC"),
        QStringLiteral("foto[1%5D"), QStringLiteral("Štrbské pleso"), QStringLiteral(""), QStringLiteral(" head ")};
    return sections;
}

using Entries = std::map<std::pair<QString, QString>, QString>;

// One value, read as the program reads it, checked against the reading rules that hold for any file.
QString readValue(ProfileFile& file, const QString& section, const QString& key, Entries& seen)
{
    const QString value = file.ReadString(section, key, Missing);
    check(value.size() <= MaxValueLength, "a value longer than 2047 characters", [&] { return show(section + u'/' + key); });
    seen[{section, key}] = value;
    return value;
}

// A number as the program converts it: tryStrToInt and strToInt agree, and a number reads as itself.
void convertNumber(const QString& text)
{
    int value = 0;
    const bool ok = platform::tryStrToInt(text, value);
    bool thrown = false;
    int converted = 0;
    try {
        converted = platform::strToInt(text);
    } catch (const platform::ConversionError&) {
        thrown = true;
    }
    check(ok != thrown, "tryStrToInt and strToInt disagree", [&] { return show(text); });
    if (!ok)
        return;
    check(converted == value, "tryStrToInt and strToInt convert differently", [&] { return show(text); });
    bool plain = false;
    const qlonglong expected = text.trimmed().toLongLong(&plain);
    check(plain && expected == value, "a number converts to another value", [&] { return show(text); });
}

// What the album's ReadCaptions reads, in its order, for the given photo sections.
void readCaptions(ProfileFile& file, const QStringList& sections, Entries& seen)
{
    const QString head = QStringLiteral("head");
    readValue(file, head, QStringLiteral("name"), seen);
    readValue(file, head, QStringLiteral("date"), seen);
    readValue(file, head, QStringLiteral("desc"), seen);
    const QString rights = file.ReadString(head, QStringLiteral("rights"), QStringLiteral("0"));
    convertNumber(rights);
    for (const QString& section : sections) {
        const bool exists = file.SectionExists(section);
        check(file.SectionExists(section) == exists, "SectionExists changes its mind", [&] { return show(section); });
        for (const QString& key : captionKeys()) {
            const QString value = readValue(file, section, key, seen);
            // A section without entries has no values at all.
            check(exists || value == Missing, "a value in a section that does not exist",
                  [&] { return show(section + u'/' + key); });
            if (key == QLatin1String("rights") && value != Missing)
                convertNumber(value);
        }
    }
}

// What the settings file is read for.
void readSettings(ProfileFile& file, Entries& seen)
{
    const QString config = QStringLiteral("config");
    for (const char* key : {"SaveLastDir", "LastDir", "DefaultDir", "AutoSave"})
        readValue(file, config, QLatin1String(key), seen);
    convertNumber(file.ReadString(config, QStringLiteral("AutoSaveValue"), QStringLiteral("5")));
    const QString window = QStringLiteral("window");
    readValue(file, window, QStringLiteral("WindowState"), seen);
    for (const char* key : {"PositionLeft", "PositionTop", "Width", "Height"}) {
        const QString value = readValue(file, window, QLatin1String(key), seen);
        if (value != Missing)
            convertNumber(value);
    }
}

// Everything read from one object: the caption and settings reads, and the file's own names.
Entries readEverything(ProfileFile& file, const Names& names)
{
    Entries seen;
    readCaptions(file, photoSections() + names.sections, seen);
    readSettings(file, seen);
    for (const QString& section : QStringList{QStringLiteral("head")} + names.sections) {
        for (const QString& key : names.keys)
            readValue(file, section, key, seen);
    }
    return seen;
}

// A name given to ProfileFile as it identifies a section or key: blanks around it do not count,
// nor does case.
QString plainName(const QString& name)
{
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && name[begin] == u' ')
        ++begin;
    while (end > begin && name[end - 1] == u' ')
        --end;
    return name.sliced(begin, end - begin).toCaseFolded();
}

// Whether `value` reads back exactly as written whatever the rest of the file holds: the reading
// rules drop blanks and tabs around it and one pair of enclosing quotes, end it at a line break,
// and a double quote in it could close a value that an earlier line opened.
bool readsBackAnywhere(const QString& value)
{
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    if (!value.isEmpty() && (blank(value.front()) || blank(value.back())))
        return false;
    if (value.size() >= 2 && value.front() == u'\'' && value.back() == u'\'')
        return false;
    return !value.contains(u'"') && !value.contains(u'\r') && !value.contains(u'\n');
}

// The same for a section name, which also ends at its first "]".
bool sectionNameReadsBack(const QString& name)
{
    return readsBackAnywhere(name) && !name.contains(u']');
}

struct Write {
    QString section;
    QString key;
    QString value;     // as written
    QString readBack;  // as it must read back
    bool refused = false;  // the file cannot hold it: WriteString must refuse it and change nothing
};

// The file as the program opens it: a caption file, or the settings file.
struct Kind {
    Encoding encoding;
    bool caption;
};

storage::ProfileFile open(const QString& path, Kind kind)
{
    return kind.caption ? album::captionFile(path, kind.encoding) : ProfileFile(path, kind.encoding);
}

// Writes into a copy of the file, flushes, and reads it again with a fresh object.
void roundTrip(const QByteArray& bytes, Kind kind, const Names& names, const Entries& before,
               const QString& existingSection)
{
    const QString path = workFolder() + QStringLiteral("/written.txt");
    writeFile(path, bytes);

    std::vector<Write> writes{
        {QStringLiteral("head"), QStringLiteral("rights"), QStringLiteral("7"), QStringLiteral("7")},
        {QStringLiteral("head"), QStringLiteral("name"), album::singleLine(QStringLiteral("Štrbské pleso 2004")),
         QStringLiteral("Štrbské pleso 2004")},
        {existingSection.isEmpty() ? QStringLiteral("IMG_0001") : existingSection, QStringLiteral("title"),
         album::singleLine(QStringLiteral("Tatry\r\nléto")), QStringLiteral("Tatry léto")},
        {QStringLiteral("nová sekce"), QStringLiteral("klíč"), QStringLiteral("hodnota"), QStringLiteral("hodnota")},
    };
    // A description over several lines reads back whole in a caption file unless the file already
    // holds a double quote: an earlier description that opens one and never closes it goes on up
    // to the first line holding one, which could be a line of this description.
    if (kind.caption && !bytes.contains('"')) {
        const QString text = QStringLiteral("První řádek\n[druhý] = řádek");
        writes.push_back({QStringLiteral("head"), QStringLiteral("desc"), album::encodeDescription(text), text});
    }
    // Text from the file itself, as a value and as the name of a section.
    const QString text = names.firstLine;
    if (readsBackAnywhere(text)) {
        const bool holds = ProfileFile::canEncode(text, names.encoding);
        const QString date = QStringLiteral("date");
        const QString head = QStringLiteral("head");
        writes.push_back({head, date, text, holds ? text : before.at({head, date}), !holds});
    }
    if (sectionNameReadsBack(text) && ProfileFile::canEncode(text, names.encoding))
        writes.push_back({text, QStringLiteral("klíč"), QStringLiteral("hodnota"), QStringLiteral("hodnota")});

    {
        ProfileFile file = open(path, kind);
        for (const Write& w : writes) {
            try {
                file.WriteString(w.section, w.key, w.value);
                check(!w.refused, "a value the file cannot hold was written", [&] { return show(w.value); });
            } catch (const storage::EIniFileException& e) {
                check(w.refused, "a write was refused", [&] { return show(w.value) + u' ' + e.message(); });
            }
            const QString value = file.ReadString(w.section, w.key, Missing);
            check(value == w.readBack, "a written value does not read back at once",
                  [&] { return show(w.section + u'/' + w.key) + QStringLiteral(" reads ") + show(value); });
        }
        try {
            file.Flush();
        } catch (const storage::EIniFileException& e) {
            // Refused only where a description opens a quote it never closes and the written
            // file would read otherwise; the file is then left exactly as it was.
            check(kind.caption && bytes.contains('"'), "the flush was refused", [&] { return e.message(); });
            QFile unchanged(path);
            check(unchanged.open(QIODevice::ReadOnly) && unchanged.readAll() == bytes, "a refused flush changed the file",
                  [&] { return path; });
            return;
        }
    }

    ProfileFile fresh = open(path, kind);
    std::set<std::pair<QString, QString>> written;
    for (const Write& w : writes) {
        const QString value = fresh.ReadString(w.section, w.key, Missing);
        check(value == w.readBack, "a written value does not read back from the file",
              [&] { return show(w.section + u'/' + w.key) + QStringLiteral(" reads ") + show(value); });
        if (w.refused)
            continue;
        check(fresh.SectionExists(w.section), "a written section does not exist", [&] { return show(w.section); });
        written.insert({plainName(w.section), plainName(w.key)});
    }
    const Entries after = readEverything(fresh, names);
    for (const auto& [entry, value] : before) {
        const QString now = after.at(entry);
        if (now == value || written.count({plainName(entry.first), plainName(entry.second)}))
            continue;
        fail("a value nobody wrote changed", show(entry.first + u'/' + entry.second) + QStringLiteral(" was ")
                                                 + show(value) + QStringLiteral(", is ") + show(now));
    }
}

void runOne(const QByteArray& bytes, Kind kind)
{
    const QString path = workFolder() + QStringLiteral("/info.txt");
    writeFile(path, bytes);
    const Names names = namesIn(bytes, kind.encoding);

    ProfileFile file = open(path, kind);
    const Entries before = readEverything(file, names);
    QString existingSection;
    for (const QString& section : names.sections) {
        if (file.SectionExists(section)) {
            existingSection = section;
            break;
        }
    }
    roundTrip(bytes, kind, names, before, existingSection);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    runOne(bytes, Kind{Encoding::Windows1250, true});
    runOne(bytes, Kind{Encoding::Utf8, false});
    return 0;
}
