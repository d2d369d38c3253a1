#include "album/Captions.h"

#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "storage/NameIndex.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace album {

QString keyOf(const QString& fileName)
{
    return fileName.left(qMax<qsizetype>(0, fileName.size() - 4));
}

namespace {

const QString kHead = QStringLiteral("head");
const QString kTitle = QStringLiteral("title");
const QString kName = QStringLiteral("name");
const QString kDate = QStringLiteral("date");
const QString kDesc = QStringLiteral("desc");
const QString kRights = QStringLiteral("rights");

// `text` with each code point `keep` refuses replaced by what `replace` makes of it.
template <class Keep, class Replace> QString mapCodePoints(const QString& text, Keep keep, Replace replace)
{
    QString result;
    for (const char32_t c : text.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        result += keep(one) ? one : replace(one);
    }
    return result;
}

// A photo's section name before collisions and spelling: its key, or the whole file name when
// the key is blank.
QString plainSectionName(const QString& fileName)
{
    const QString key = keyOf(fileName);
    return key.trimmed().isEmpty() ? fileName : key;
}

// Whether a section name can hold this one character as it is.
bool sectionCanHold(const QString& character, Encoding encoding)
{
    const char16_t c = character.front().unicode();
    return c >= 0x20 && c != 0x7F && c != u']' && captionCanHold(character, encoding);
}

// `name` as a section name can hold it: "]", control characters and characters the encoding
// cannot hold are spelled as the %XX of their UTF-8 bytes.
QString storable(const QString& name, Encoding encoding)
{
    const bool plain = std::none_of(name.cbegin(), name.cend(), [](QChar c) {
        return c.unicode() < 0x20 || c.unicode() == 0x7F || c == u']';
    });
    if (plain && captionCanHold(name, encoding))
        return name;
    const auto holds = [encoding](const QString& one) { return sectionCanHold(one, encoding); };
    return mapCodePoints(name, holds, [](const QString& one) {
        QString escaped;
        for (const char byte : one.toUtf8())
            escaped += QStringLiteral("%%1").arg(uint(uchar(byte)), 2, 16, QLatin1Char('0')).toUpper();
        return escaped;
    });
}


}  // namespace

storage::ProfileFile captionFile(const QString& path, Encoding encoding, storage::ProfileFile::Start start)
{
    return storage::ProfileFile(path, encoding, start, kDesc);
}

Encoding captionEncodingOf(const QString& path)
{
    QFile file;
    if (!file.open(platform::openRegularFile(path), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return Encoding::Windows1250;
    // A file in UTF-16 is saved as UTF-8 with the mark (see ProfileFile).
    const QByteArray start = file.read(3);
    const bool marked = start == "\xEF\xBB\xBF" || start.startsWith("\xFF\xFE") || start.startsWith("\xFE\xFF");
    return marked ? Encoding::Utf8WithBom : Encoding::Windows1250;
}

bool captionCanHold(const QString& text, Encoding encoding)
{
    return storage::ProfileFile::canEncode(text, encoding);
}

int unholdableCount(const QString& text, Encoding encoding)
{
    if (captionCanHold(text, encoding))
        return 0;
    int count = 0;
    for (const char32_t c : text.toUcs4())
        count += captionCanHold(QString::fromUcs4(&c, 1), encoding) ? 0 : 1;
    return count;
}

QString QuoteSafe(QString text)
{
    text.replace(u'"', u'\'');
    return text;
}

QString encodeDescription(const QString& text)
{
    if (text.isEmpty())
        return text;
    // Built in one piece: a save writes one for every photo.
    QString encoded(text.size() + 2, Qt::Uninitialized);
    QChar* out = encoded.data();
    *out++ = u'"';
    for (const QChar c : text)
        *out++ = c == u'"' ? QChar(u'\'') : c;
    *out = u'"';
    return encoded;
}

QString singleLine(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    QString line = text;
    if (std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c == u'\n' || c == u'\r'; }))
        line.replace(lineBreak, QStringLiteral(" "));
    // Reading drops the blanks and tabs around a value, then one pair of matching enclosing
    // quotes: a value that such a pair would lose characters of gets one more pair to lose.
    // (Read through a const view: the value is not copied unless it changes.)
    const QStringView view(line);
    qsizetype begin = 0;
    qsizetype end = view.size();
    while (begin < end && (view[begin] == u' ' || view[begin] == u'\t'))
        ++begin;
    while (end > begin && (view[end - 1] == u' ' || view[end - 1] == u'\t'))
        --end;
    if (end - begin >= 2 && (view[begin] == u'"' || view[begin] == u'\'') && view[end - 1] == view[begin])
        line = u'"' + line + u'"';
    return line;
}

QString holdable(const QString& text, Encoding encoding)
{
    if (captionCanHold(text, encoding))
        return text;
    return mapCodePoints(
        text, [encoding](const QString& one) { return captionCanHold(one, encoding); },
        [](const QString&) { return QStringLiteral("_"); });
}

SectionNaming nameSections(const PhotoTable& table, Encoding encoding)
{
    SectionNaming naming;
    naming.names.reserve(table.RowCount());
    // Every name given so far, as the file compares them, with the first row whose plain name it
    // is (-1 for names given otherwise: the album's own, and whole file names).
    storage::NameIndex given;
    given.reserve(table.RowCount() + 1);
    given.insert(kHead, -1);  // the album's own: a photo head.jpg must never write into it
    std::vector<std::pair<int, QStringList>> shared;  // by the first row of each group
    QHash<int, std::size_t> groupOf;
    for (int r = 0; r < table.RowCount(); ++r) {
        const QString& fileName = table.Get(Field::FileName, r);
        QString name = storable(plainSectionName(fileName), encoding);
        int* const owner = given.find(name);
        if (!owner) {
            given.insert(name, r);
            naming.names << name;
            continue;
        }
        if (*owner >= 0) {  // an earlier photo has this plain name
            auto group = groupOf.constFind(*owner);
            if (group == groupOf.cend()) {
                group = groupOf.insert(*owner, shared.size());
                shared.push_back({*owner, {table.Get(Field::FileName, *owner)}});
            }
            shared[*group].second << fileName;
        } else {
            *owner = r;  // the first photo with this plain name, which is taken all the same
        }
        const QString whole = storable(fileName, encoding);
        name = whole;
        for (int n = 2; given.contains(name); ++n)
            name = whole + QStringLiteral("~%1").arg(n);
        given.insert(name, -1);
        naming.names << name;
    }
    std::sort(shared.begin(), shared.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& group : shared)
        naming.shared << std::move(group.second);
    return naming;
}

QStringList sectionNames(const PhotoTable& table, Encoding encoding)
{
    return nameSections(table, encoding).names;
}

QList<QStringList> photosSharingASection(const PhotoTable& table, Encoding encoding)
{
    return nameSections(table, encoding).shared;
}

QString formerSectionName(const QString& fileName)
{
    const QString name = plainSectionName(fileName);
    if (captionCanHold(name))
        return QString();
    return mapCodePoints(
        name, [](const QString& one) { return captionCanHold(one); },
        [](const QString& one) { return QStringLiteral("&#%1;").arg(uint(one.toUcs4().front())); });
}

namespace {

template <class File>
void writeAll(File& file, const AlbumHeader& header, const PhotoTable& table, const std::function<void()>& afterRow)
{
    file.WriteString(kHead, kName, singleLine(header.name));
    file.WriteString(kHead, kDate, singleLine(header.date));
    file.WriteString(kHead, kDesc, encodeDescription(header.description));
    file.WriteString(kHead, kRights, QString::number(header.rights));
    for (int r = 0; r < table.RowCount(); ++r) {
        const QString section = table.Get(Field::Key, r);
        file.WriteString(section, kTitle, singleLine(table.Get(Field::Title, r)));
        file.WriteString(section, kName, singleLine(table.Get(Field::Name, r)));
        file.WriteString(section, kDate, singleLine(table.Get(Field::Date, r)));
        file.WriteString(section, kDesc, encodeDescription(table.Get(Field::Description, r)));
        file.WriteString(section, kRights, singleLine(table.Get(Field::Rights, r)));
        if (afterRow)
            afterRow();
    }
}

}  // namespace

void writeCaptions(storage::ProfileFile& file, const AlbumHeader& header, const PhotoTable& table,
                   const std::function<void()>& afterRow)
{
    writeAll(file, header, table, afterRow);
}

void writeCaptions(storage::ProfileWriter& file, const AlbumHeader& header, const PhotoTable& table,
                   const std::function<void()>& afterRow)
{
    writeAll(file, header, table, afterRow);
}

AlbumCaptions readCaptions(storage::ProfileFile& file, const PhotoTable& table)
{
    if (file.readFailed())
        throw platform::Error(QStringLiteral("Cannot open file %1").arg(file.path()));
    static const QStringList headKeys{kName, kDate, kDesc, kRights};
    static const QStringList photoKeys{kTitle, kName, kDate, kDesc, kRights};
    // A value read is never null, even when empty: a null one is an entry the file lacks.
    const auto allThere = [](const QStringList& values) {
        return std::none_of(values.cbegin(), values.cend(), [](const QString& v) { return v.isNull(); });
    };
    AlbumCaptions captions;
    const QStringList head = file.ReadSection(kHead, headKeys, QString()).value_or(QStringList(headKeys.size()));
    captions.complete = allThere(head);
    captions.name = head[0];
    captions.date = head[1];
    captions.description = head[2];
    captions.rights = head[3].isNull() ? QStringLiteral("0") : head[3];
    captions.photos.reserve(std::size_t(table.RowCount()));
    for (int r = 0; r < table.RowCount(); ++r) {
        auto values = file.ReadSection(table.Get(Field::Key, r), photoKeys, QString());
        captions.complete = captions.complete && values && allThere(*values);
        if (!values) {
            // Captions an earlier version stored under another name are found there.
            const QString former = formerSectionName(table.Get(Field::FileName, r));
            if (!former.isEmpty())
                values = file.ReadSection(former, photoKeys, QString());
        }
        if (!values) {
            captions.photos.emplace_back();
            continue;
        }
        captions.photos.push_back(PhotoCaptions{(*values)[0], (*values)[1], (*values)[2], (*values)[3], (*values)[4]});
    }
    return captions;
}

bool fileHoldsAlbum(const AlbumCaptions& inFile, const AlbumHeader& header, const PhotoTable& table)
{
    int rights = 0;
    if (!inFile.complete || inFile.name != header.name || inFile.date != header.date
        || inFile.description != header.description || !platform::tryStrToInt(inFile.rights, rights)
        || rights != header.rights || inFile.photos.size() != std::size_t(table.RowCount()))
        return false;
    for (int r = 0; r < table.RowCount(); ++r) {
        const PhotoCaptions& photo = *inFile.photos[std::size_t(r)];
        if (photo.title != table.Get(Field::Title, r) || photo.name != table.Get(Field::Name, r)
            || photo.date != table.Get(Field::Date, r) || photo.description != table.Get(Field::Description, r)
            || photo.rights != table.Get(Field::Rights, r))
            return false;
    }
    return true;
}

}  // namespace album
