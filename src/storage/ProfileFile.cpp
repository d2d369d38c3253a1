#include "storage/ProfileFile.h"

#include "platform/FileSystem.h"

#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>

namespace storage {

namespace {

constexpr qsizetype MaxValueLength = 2047;
const QByteArray Bom("\xEF\xBB\xBF");

constexpr auto ConverterFlags = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

QStringEncoder makeEncoder(Encoding encoding)
{
    return encoding == Encoding::Windows1250 ? QStringEncoder("windows-1250", ConverterFlags)
                                             : QStringEncoder(QStringConverter::Utf8, ConverterFlags);
}

QStringDecoder makeDecoder(Encoding encoding)
{
    return encoding == Encoding::Windows1250 ? QStringDecoder("windows-1250", ConverterFlags)
                                             : QStringDecoder(QStringConverter::Utf8, ConverterFlags);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Blanks and tabs around names and values in the file do not count.
QByteArrayView trimmedBlanks(QByteArrayView v)
{
    while (!v.isEmpty() && isBlank(v.front()))
        v = v.sliced(1);
    while (!v.isEmpty() && isBlank(v.back()))
        v.chop(1);
    return v;
}

// `s` without the blanks (and with `tabs`, the tabs) around it.
QString trimmed(const QString& s, bool tabs)
{
    auto strip = [tabs](QChar c) { return c == u' ' || (tabs && c == u'\t'); };
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && strip(s[begin]))
        ++begin;
    while (end > begin && strip(s[end - 1]))
        --end;
    return begin == 0 && end == s.size() ? s : s.sliced(begin, end - begin);
}

// Names the caller gives lose surrounding blanks only.
QString callerName(const QString& s)
{
    return trimmed(s, false);
}

bool isAscii(const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

bool isAscii(QByteArrayView bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

// Names are compared by their case-folded form. For ASCII names, the usual case, that is
// their lower case, found here without the full Unicode tables.
QString folded(const QString& name)
{
    if (!isAscii(name))
        return name.toCaseFolded();
    QString result = name;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i] >= u'A' && name[i] <= u'Z')
            result[i] = QChar(name[i].unicode() + (u'a' - u'A'));
    }
    return result;
}

// "\r\n", "\n" and a lone "\r" all become CR LF.
QString withCrLf(const QString& value)
{
    if (!value.contains(u'\n') && !value.contains(u'\r'))
        return value;
    QString text = value;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text;
}

// The line's text without its line end (and without the byte-order mark on the first line).
QByteArrayView bodyOf(QByteArrayView t, bool skipBom)
{
    if (skipBom && t.startsWith(QByteArrayView(Bom)))
        t = t.sliced(Bom.size());
    if (t.endsWith('\n'))
        t.chop(1);
    if (t.endsWith('\r'))
        t.chop(1);
    return t;
}

}  // namespace

ProfileFile::ProfileFile(const QString& path, Encoding encoding, Start start, const QString& multiLineKey)
    : path_(path),
      multiLineKey_(folded(callerName(multiLineKey))),
      bom_(encoding == Encoding::Utf8WithBom),
      start_(start),
      encoder_(makeEncoder(encoding)),
      decoder_(makeDecoder(encoding))
{
}

ProfileFile::~ProfileFile()
{
    try {
        Flush();
    } catch (...) {
        // Nothing can be reported from here; the old file stays whole.
    }
}

bool ProfileFile::canEncode(const QString& text, Encoding encoding)
{
    if (isAscii(text))
        return true;
    QStringEncoder encoder = makeEncoder(encoding);
    QStringDecoder decoder = makeDecoder(encoding);
    const QByteArray bytes = encoder.encode(text);
    return QString(decoder.decode(bytes)) == text;
}

QByteArray ProfileFile::encoded(const QString& text)
{
    if (isAscii(text))
        return text.toLatin1();
    QByteArray bytes = encoder_.encode(text);
    // The encoder stands in a substitute for what it cannot map; never let one into the file.
    if (decoded(bytes) != text)
        throw EIniFileException(path_);
    return bytes;
}

QString ProfileFile::decoded(QByteArrayView bytes)
{
    // Both encodings agree with ASCII.
    return isAscii(bytes) ? QString::fromLatin1(bytes) : QString(decoder_.decode(bytes));
}

void ProfileFile::load()
{
    if (loaded_)
        return;
    loaded_ = true;
    lines_.assign(1, Line{});
    tail_ = 0;
    if (start_ == Start::Empty)
        return;
    const QFileInfo info(path_);
    if (!info.exists())
        return;
    // Only a regular file is read (a FIFO would wait for ever), to the end, in pieces, each
    // checked: an error part way (a failing medium) must never pass for the end of a shorter file.
    QFile file;
    bool ok = file.open(platform::openRegularFile(path_), QIODevice::ReadOnly | QIODevice::Unbuffered,
                        QFileDevice::AutoCloseHandle);
    if (ok) {
        text_.resize(std::max<qint64>(file.size(), 0) + 1);  // a byte more shows the end
        qsizetype at = 0;
        while (true) {
            if (at == text_.size())
                text_.resize(text_.size() * 2);  // the file grew meanwhile
            const qint64 got = file.read(text_.data() + at, text_.size() - at);
            ok = got >= 0;
            if (got <= 0)
                break;
            at += got;
        }
        text_.resize(at);
    }
    ok = ok && fromUtf16();
    if (!ok) {
        text_.clear();
        unreadable_ = true;
        return;
    }
    const bool hadBom = text_.startsWith(Bom);
    if (bom_ && !hadBom) {
        // An existing file without the mark is read and written as the caption file it is.
        bom_ = false;
        encoder_ = makeEncoder(Encoding::Windows1250);
        decoder_ = makeDecoder(Encoding::Windows1250);
    }
    parse();
}

bool ProfileFile::fromUtf16()
{
    const bool littleEndian = text_.startsWith("\xFF\xFE");
    if (!littleEndian && !text_.startsWith("\xFE\xFF"))
        return true;
    QStringDecoder decoder(littleEndian ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
    const QString text = decoder.decode(text_);
    if (decoder.hasError())
        return false;
    // Held as UTF-8 with its mark, and written so, whole, when something is written.
    text_ = text.toUtf8();
    if (!text_.startsWith(Bom))
        text_.prepend(Bom);
    return true;
}

bool ProfileFile::readFailed()
{
    load();
    return unreadable_;
}

bool ProfileFile::hasByteOrderMark()
{
    load();
    return bom_;
}

QByteArrayView ProfileFile::lineText(int line) const
{
    return QByteArrayView(text_).sliced(lines_[line].offset, lines_[line].size);
}

void ProfileFile::parse()
{
    if (text_.startsWith(Bom)) {
        bom_ = true;
        encoder_ = makeEncoder(Encoding::Utf8);
        decoder_ = makeDecoder(Encoding::Utf8);
    }

    // Split into lines, each keeping its own line end.
    for (qsizetype start = 0; start < text_.size();) {
        qsizetype end = text_.indexOf('\n', start);
        end = end < 0 ? text_.size() : end + 1;
        lines_.back().next = int(lines_.size());
        lines_.push_back(Line{start, end - start, -1});
        start = end;
    }
    tail_ = int(lines_.size()) - 1;
    const int count = tail_;
    entries_.reserve(count);

    int current = -1;        // the section receiving entries; -1 before the first or in a duplicate
    bool inSection = false;
    for (int i = 1; i <= count; ++i) {
        const QByteArrayView t = trimmedBlanks(bodyOf(lineText(i), i == 1));
        if (t.isEmpty() || t.front() == ';')
            continue;
        if (t.front() == '[') {
            const qsizetype close = t.indexOf(']');
            if (close < 0)
                continue;
            inSection = true;
            const QString name = folded(decoded(trimmedBlanks(t.sliced(1, close - 1))));
            if (sectionIndex_.contains(name)) {
                current = -1;  // only the first section of a name counts
            } else {
                current = int(sections_.size());
                sections_.push_back(Section{i, 0});
                sectionIndex_.insert(name, current);
            }
            continue;
        }
        const qsizetype eq = t.indexOf('=');
        if (!inSection || eq < 0)
            continue;

        Entry entry{i, 0};
        const QString keyName = interned(folded(decoded(trimmedBlanks(t.first(eq)))));
        // A double-quoted value of the multi-line key, not closed on its line, goes on up to the
        // line that closes it. Scanning stops at the first line holding a double quote, so each
        // line is looked at once however many values are never closed.
        const QByteArrayView value = trimmedBlanks(t.sliced(eq + 1));
        if (!multiLineKey_.isEmpty() && keyName == multiLineKey_ && value.startsWith('"')
            && !value.sliced(1).contains('"')) {
            int j = i + 1;
            while (j <= count && !lineText(j).contains('"'))
                ++j;
            if (j <= count) {
                const QByteArrayView closing = trimmedBlanks(bodyOf(lineText(j), false));
                if (closing.endsWith('"') && closing.count('"') == 1)
                    entry.extra = j - i;
            }
        }
        if (current >= 0) {
            Section& section = sections_[current];
            const EntryKey key{current, keyName};
            if (!entries_.contains(key)) {
                entries_.insert(key, entry);
                ++section.entryCount;
            }
            section.anchor = i + entry.extra;
        }
        i += entry.extra;
    }
}

// Files repeat a few key names in every section; sharing one copy of each keeps the index small.
QString ProfileFile::interned(const QString& name)
{
    const auto it = keyNames_.constFind(name);
    return it != keyNames_.cend() ? *it : *keyNames_.insert(name);
}

int ProfileFile::findSection(const QString& name) const
{
    return sectionIndex_.value(folded(callerName(name)), -1);
}

QString ProfileFile::valueOf(const Entry& entry)
{
    QByteArrayView raw = bodyOf(lineText(entry.line), false);
    QByteArray joined;  // the lines of a multi-line value, with "\n" between them
    if (entry.extra > 0) {
        joined = raw.toByteArray();
        for (int k = 1; k <= entry.extra; ++k) {
            joined += '\n';
            joined += bodyOf(lineText(entry.line + k), false);
        }
        raw = joined;
    }
    raw = raw.sliced(raw.indexOf('=') + 1);

    QString value = decoded(raw);
    if (entry.extra == 0 && value.contains(u'\r'))
        value.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));  // a value written in this session
    value = trimmed(value, true);
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        value = value.sliced(1, value.size() - 2);
    if (value.size() > MaxValueLength)
        value.truncate(value[MaxValueLength - 1].isHighSurrogate() ? MaxValueLength - 1 : MaxValueLength);
    return value;
}

QString ProfileFile::ReadString(const QString& section, const QString& key, const QString& defaultValue)
{
    load();
    const int s = findSection(section);
    if (s < 0)
        return defaultValue;
    const auto it = entries_.constFind(EntryKey{s, folded(callerName(key))});
    return it == entries_.cend() ? defaultValue : valueOf(*it);
}

bool ProfileFile::SectionExists(const QString& section)
{
    load();
    const int s = findSection(section);
    return s >= 0 && sections_[s].entryCount > 0;
}

void ProfileFile::checkWritable()
{
    load();
    if (writable_)
        return;
    // The file is replaced by a new one beside it, never written in place: its folder must take
    // a new file, and an existing file must itself be writable (a read-only file stays so).
    // Writing a file that could not be read would lose what it holds.
    const QFileInfo info(path_);
    bool ok = !unreadable_;
    if (ok && info.exists()) {
        QFile file(path_);
        ok = info.isFile() && file.open(QIODevice::WriteOnly | QIODevice::Append);
    }
    if (ok) {
        QTemporaryFile probe(info.absolutePath() + QStringLiteral("/.albisko-XXXXXX"));
        ok = probe.open();
    }
    if (!ok)
        throw EIniFileException(path_);
    writable_ = true;
}

// Written text goes to the end of text_; the line then refers to it.
void ProfileFile::setLine(int line, std::initializer_list<QByteArrayView> pieces)
{
    const qsizetype offset = text_.size();
    for (QByteArrayView piece : pieces)
        text_ += piece;
    lines_[line].offset = offset;
    lines_[line].size = text_.size() - offset;
}

int ProfileFile::insertAfter(int line, std::initializer_list<QByteArrayView> pieces)
{
    // A last line without its line end gets one first. A CR alone at its end was read as its
    // line end (not as text), so it only needs the LF.
    const QByteArrayView before = lineText(line);
    const QByteArrayView text = line == 1 && before.startsWith(QByteArrayView(Bom)) ? before.sliced(Bom.size()) : before;
    if (!text.isEmpty() && !before.endsWith('\n')) {
        const QByteArray unended = before.toByteArray();
        setLine(line, {unended, unended.endsWith('\r') ? "\n" : "\r\n"});
    }
    const int added = int(lines_.size());
    lines_.push_back(Line{0, 0, lines_[line].next});
    setLine(added, pieces);
    lines_[line].next = added;
    if (tail_ == line)
        tail_ = added;
    return added;
}

void ProfileFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    checkWritable();
    const QString sectionName = callerName(section);
    const QString keyName = callerName(key);
    const QByteArray valueBytes = encoded(withCrLf(value));
    const QString sectionKey = folded(sectionName);
    EntryKey entryKey{sectionIndex_.value(sectionKey, -1), interned(folded(keyName))};
    const int s = entryKey.section;

    if (s < 0) {
        const QByteArray sectionBytes = encoded(sectionName);
        const QByteArray keyBytes = encoded(keyName);
        const int headerLine = insertAfter(tail_, {"[", sectionBytes, "]\r\n"});
        const int entryLine = insertAfter(headerLine, {keyBytes, "=", valueBytes, "\r\n"});
        entryKey.section = int(sections_.size());
        sections_.push_back(Section{entryLine, 1});
        sectionIndex_.insert(sectionKey, entryKey.section);
        entries_.insert(entryKey, Entry{entryLine, 0});
    } else if (auto it = entries_.find(entryKey); it != entries_.end()) {
        // Keep the file's own spelling of the key; the line, and any further lines of a
        // multi-line value, become one key=value line.
        Entry& entry = *it;
        const QByteArrayView old = lineText(entry.line);
        const QByteArray fileKey = trimmedBlanks(old.first(old.indexOf('='))).toByteArray();
        setLine(entry.line, {fileKey, "=", valueBytes, "\r\n"});
        for (int k = 1; k <= entry.extra; ++k)
            lines_[entry.line + k].size = 0;
        entry.extra = 0;
    } else {
        const QByteArray keyBytes = encoded(keyName);
        Section& target = sections_[s];
        target.anchor = insertAfter(target.anchor, {keyBytes, "=", valueBytes, "\r\n"});
        ++target.entryCount;
        entries_.insert(entryKey, Entry{target.anchor, 0});
    }
    dirty_ = true;
}

void ProfileFile::Flush()
{
    if (!dirty_)
        return;
    QByteArray bytes;
    bytes.reserve(text_.size() + Bom.size());
    if (bom_ && !text_.startsWith(Bom))
        bytes += Bom;  // a file made new as UTF-8 with the mark
    for (int i = lines_[0].next; i != -1; i = lines_[i].next)
        bytes += lineText(i);
    if (!platform::replaceFile(path_, bytes))
        throw EIniFileException(path_);
    dirty_ = false;
}

}  // namespace storage
