#include "album/Captions.h"

#include "album/FolderScan.h"
#include "storage/ProfileFile.h"

#include <QRegularExpression>
#include <QSet>

namespace album {

bool captionCanHold(const QString& text);

namespace {

// Replaces each code point the file cannot hold with what `replace` makes of it.
bool fileCanHold(const QString& text)
{
    return captionCanHold(text);
}

template <class Replace> QString mapUnholdable(const QString& text, Replace replace)
{
    if (fileCanHold(text))
        return text;
    QString result;
    for (const char32_t c : text.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        result += fileCanHold(one) ? one : replace(c);
    }
    return result;
}

QString plainSectionName(const QString& fileName)
{
    const QString key = keyOf(fileName);
    return key.isEmpty() ? fileName : key;
}

QString storable(const QString& name)
{
    return mapUnholdable(name, [](char32_t c) { return QStringLiteral("&#%1;").arg(quint32(c)); });
}

}  // namespace

bool captionCanHold(const QString& text)
{
    return storage::ProfileFile::canEncode(text, storage::Encoding::Windows1250);
}

int unholdableCount(const QString& text)
{
    if (captionCanHold(text))
        return 0;
    int count = 0;
    for (const char32_t c : text.toUcs4())
        count += captionCanHold(QString::fromUcs4(&c, 1)) ? 0 : 1;
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
    // A value that starts with a quote would lose it on reading (and an unclosed double quote
    // would take the following lines in): such a value is enclosed in one more pair of quotes,
    // which reading removes.
    if (line.startsWith(u'"') || line.startsWith(u'\''))
        line = u'"' + line + u'"';
    return line;
}

QString holdable(const QString& text)
{
    return mapUnholdable(text, [](char32_t) { return QStringLiteral("_"); });
}

QStringList sectionNames(const PhotoTable& table)
{
    QStringList names;
    names.reserve(table.RowCount());
    QSet<QString> used;
    used.reserve(table.RowCount());
    for (int r = 0; r < table.RowCount(); ++r) {
        const QString fileName = table.Get(Field::FileName, r);
        QString name = storable(plainSectionName(fileName));
        if (used.contains(name.toCaseFolded())) {
            const QString whole = storable(fileName);
            name = whole;
            for (int n = 2; used.contains(name.toCaseFolded()); ++n)
                name = whole + QStringLiteral("~%1").arg(n);
        }
        used.insert(name.toCaseFolded());
        names << name;
    }
    return names;
}

QList<QStringList> photosSharingASection(const PhotoTable& table)
{
    QHash<QString, QStringList> byName;
    QStringList order;
    for (int r = 0; r < table.RowCount(); ++r) {
        const QString fileName = table.Get(Field::FileName, r);
        const QString name = storable(plainSectionName(fileName)).toCaseFolded();
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
    const QString head = QStringLiteral("head");
    file.WriteString(head, QStringLiteral("name"), singleLine(header.name));
    file.WriteString(head, QStringLiteral("date"), singleLine(header.date));
    file.WriteString(head, QStringLiteral("desc"), encodeDescription(header.description));
    file.WriteString(head, QStringLiteral("rights"), QString::number(header.rights));
    for (int r = 0; r < table.RowCount(); ++r) {
        const QString section = table.Get(Field::Key, r);
        file.WriteString(section, QStringLiteral("title"), singleLine(table.Get(Field::Title, r)));
        file.WriteString(section, QStringLiteral("name"), singleLine(table.Get(Field::Name, r)));
        file.WriteString(section, QStringLiteral("date"), singleLine(table.Get(Field::Date, r)));
        file.WriteString(section, QStringLiteral("desc"), encodeDescription(table.Get(Field::Description, r)));
        file.WriteString(section, QStringLiteral("rights"), singleLine(table.Get(Field::Rights, r)));
        if (afterRow)
            afterRow();
    }
}

}  // namespace album
