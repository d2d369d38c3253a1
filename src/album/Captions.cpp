#include "album/Captions.h"

#include "album/FolderScan.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace album {

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

// How the file tells section names apart: without regard to case and to blanks around them.
QString sameSection(const QString& name)
{
    QString plain = name;
    while (plain.startsWith(u' '))
        plain.remove(0, 1);
    while (plain.endsWith(u' '))
        plain.chop(1);
    return plain.toCaseFolded();
}

// A value as read; one the file lacks is empty.
QString read(storage::ProfileFile& file, const QString& section, const QString& key)
{
    return file.ReadString(section, key, QString());
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
    return u'"' + QuoteSafe(text) + u'"';
}

QString singleLine(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r"));
    QString line = text;
    if (line.contains(u'\n') || line.contains(u'\r'))
        line.replace(lineBreak, QStringLiteral(" "));
    // Reading drops the blanks and tabs around a value, then one pair of matching enclosing
    // quotes: a value that such a pair would lose characters of gets one more pair to lose.
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && (line[begin] == u' ' || line[begin] == u'\t'))
        ++begin;
    while (end > begin && (line[end - 1] == u' ' || line[end - 1] == u'\t'))
        --end;
    if (end - begin >= 2 && (line[begin] == u'"' || line[begin] == u'\'') && line[end - 1] == line[begin])
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

QStringList sectionNames(const PhotoTable& table, Encoding encoding)
{
    QStringList names;
    names.reserve(table.RowCount());
    QSet<QString> used;
    used.reserve(table.RowCount() + 1);
    used.insert(kHead);  // the album's own: a photo head.jpg must never write into it
    for (int r = 0; r < table.RowCount(); ++r) {
        const QString fileName = table.Get(Field::FileName, r);
        QString name = storable(plainSectionName(fileName), encoding);
        if (used.contains(sameSection(name))) {
            const QString whole = storable(fileName, encoding);
            name = whole;
            for (int n = 2; used.contains(sameSection(name)); ++n)
                name = whole + QStringLiteral("~%1").arg(n);
        }
        used.insert(sameSection(name));
        names << name;
    }
    return names;
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

QList<QStringList> photosSharingASection(const PhotoTable& table, Encoding encoding)
{
    QHash<QString, QStringList> byName;
    QStringList order;
    for (int r = 0; r < table.RowCount(); ++r) {
        const QString fileName = table.Get(Field::FileName, r);
        const QString name = sameSection(storable(plainSectionName(fileName), encoding));
        if (!byName.contains(name))
            order << name;
        byName[name] << fileName;
    }
    QList<QStringList> shared;
    for (const QString& name : order)
        if (byName[name].size() > 1)
            shared << byName[name];
    return shared;
}

void writeCaptions(storage::ProfileFile& file, const AlbumHeader& header, const PhotoTable& table,
                   const std::function<void()>& afterRow)
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

AlbumCaptions readCaptions(storage::ProfileFile& file, const PhotoTable& table)
{
    if (file.readFailed())
        throw platform::Error(QStringLiteral("Cannot open file %1").arg(file.path()));
    AlbumCaptions captions;
    captions.name = read(file, kHead, kName);
    captions.date = read(file, kHead, kDate);
    captions.description = read(file, kHead, kDesc);
    captions.rights = file.ReadString(kHead, kRights, QStringLiteral("0"));
    captions.photos.reserve(std::size_t(table.RowCount()));
    for (int r = 0; r < table.RowCount(); ++r) {
        QString section = table.Get(Field::Key, r);
        if (!file.SectionExists(section)) {
            // Captions an earlier version stored under another name are found there.
            section = formerSectionName(table.Get(Field::FileName, r));
            if (section.isEmpty() || !file.SectionExists(section)) {
                captions.photos.emplace_back();
                continue;
            }
        }
        captions.photos.push_back(PhotoCaptions{read(file, section, kTitle), read(file, section, kName),
                                                read(file, section, kDate), read(file, section, kDesc),
                                                read(file, section, kRights)});
    }
    return captions;
}

}  // namespace album
