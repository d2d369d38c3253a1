#include "storage/ProfileFile.h"

#include "platform/FileSystem.h"
#include "storage/ProfileText.h"

#include <QByteArrayView>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <exception>

namespace storage {

namespace {

constexpr qsizetype MaxValueLength = 2047;

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

// The case-folded name of ASCII bytes, made in one go (a file may hold a million names).
QString foldedAscii(QByteArrayView bytes)
{
    QString name(bytes.size(), Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(name.data());
    for (char c : bytes)
        *out++ = c >= 'A' && c <= 'Z' ? char16_t(c + ('a' - 'A')) : char16_t(uchar(c));
    return name;
}

// Whether a caller's ASCII name (blanks around it aside) is the case-folded name `folded`. False
// for a name with other characters, which is then compared the long way.
bool sameAsciiName(const QString& folded, const QString& name)
{
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && name[begin] == u' ')
        ++begin;
    while (end > begin && name[end - 1] == u' ')
        --end;
    if (end - begin != folded.size())
        return false;
    for (qsizetype i = 0; i < folded.size(); ++i) {
        char16_t c = name[begin + i].unicode();
        if (c >= 0x80)
            return false;
        if (c >= u'A' && c <= u'Z')
            c += u'a' - u'A';
        if (c != folded[i].unicode())
            return false;
    }
    return true;
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
      windows1250_(encoding == Encoding::Windows1250),
      start_(start),
      encoder_(makeEncoder(encoding)),
      decoder_(makeDecoder(encoding)),
      exceptionsAtStart_(std::uncaught_exceptions())
{
}

ProfileFile::~ProfileFile()
{
    if (std::uncaught_exceptions() > exceptionsAtStart_)
        return;  // an error ended the writing: nothing of it goes into the file
    try {
        Flush();
    } catch (...) {
        // Nothing can be reported from here; the old file stays whole.
    }
}

QString ProfileFile::comparableName(const QString& name)
{
    return folded(callerName(name));
}

bool ProfileFile::canEncode(const QString& text, Encoding encoding)
{
    if (isAscii(text))
        return true;
    if (encoding == Encoding::Windows1250)
        return cp1250().canEncode(text);
    QStringEncoder encoder = makeEncoder(encoding);
    QStringDecoder decoder = makeDecoder(encoding);
    const QByteArray bytes = encoder.encode(text);
    return QString(decoder.decode(bytes)) == text;
}

QByteArray ProfileFile::encoded(const QString& text)
{
    if (isAscii(text))
        return text.toLatin1();
    if (windows1250_) {
        QByteArray bytes;
        if (!cp1250().encode(text, bytes))
            throw EIniFileException(path_);
        return bytes;
    }
    QByteArray bytes = encoder_.encode(text);
    // The encoder stands in a substitute for what it cannot map; never let one into the file.
    if (decoded(bytes) != text)
        throw EIniFileException(path_);
    return bytes;
}

QString ProfileFile::decoded(QByteArrayView bytes)
{
    // Both encodings agree with ASCII.
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    return windows1250_ ? cp1250().decode(bytes) : QString(decoder_.decode(bytes));
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
        windows1250_ = true;
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
        windows1250_ = false;
        encoder_ = makeEncoder(Encoding::Utf8);
        decoder_ = makeDecoder(Encoding::Utf8);
    }

    // Split into lines, each keeping its own line end.
    lines_.reserve(lines_.size() + size_t(text_.count('\n')) + 1);
    for (qsizetype start = 0; start < text_.size();) {
        qsizetype end = text_.indexOf('\n', start);
        end = end < 0 ? text_.size() : end + 1;
        lines_.back().next = int(lines_.size());
        lines_.push_back(Line{start, end - start, -1});
        start = end;
    }
    tail_ = int(lines_.size()) - 1;
    const int count = tail_;
    entries_.reserve(size_t(count));

    multiLineKeyId_ = multiLineKey_.isEmpty() ? -1 : keyId(multiLineKey_);
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
                sections_.push_back(Section{name, i});
                sectionIndex_.insert(name, current);
            }
            continue;
        }
        const qsizetype eq = t.indexOf('=');
        if (!inSection || eq < 0)
            continue;

        const int key = rawKeyId(trimmedBlanks(t.first(eq)));
        Entry entry{key, i, 0};
        // A double-quoted value of the multi-line key, not closed on its line, goes on up to the
        // line that closes it. Scanning stops at the first line holding a double quote, so each
        // line is looked at once however many values are never closed.
        const QByteArrayView value = trimmedBlanks(t.sliced(eq + 1));
        if (multiLineKeyId_ >= 0 && key == multiLineKeyId_ && value.startsWith('"')
            && !value.sliced(1).contains('"')) {
            int j = i + 1;
            while (j <= count && !lineText(j).contains('"'))
                ++j;
            if (j <= count) {
                const QByteArrayView closing = trimmedBlanks(bodyOf(lineText(j), false));
                if (closing.endsWith('"') && closing.count('"') == 1)
                    entry.extra = j - i;
            }
            // A value that opens a quote it never closes: how far it reaches depends on the
            // lines after it, which writes may change.
            unclosed_ = unclosed_ || entry.extra == 0;
        }
        if (current >= 0) {
            addEntry(current, entry);  // of duplicate keys the first counts
            sections_[current].anchor = i + entry.extra;
        }
        i += entry.extra;
    }
}

int ProfileFile::keyId(const QString& foldedName)
{
    // Found or added in one look: a file may hold a million names.
    const int next = int(keyIds_.size());
    int& id = keyIds_[foldedName];
    if (keyIds_.size() > next)
        id = next;
    return id;
}

int ProfileFile::keyIdIfAny(const QString& callerKey) const
{
    return keyIds_.value(folded(callerName(callerKey)), -1);
}

int ProfileFile::rawKeyId(QByteArrayView rawName)
{
    for (const auto& [raw, id] : rawKeys_) {
        if (raw == rawName)
            return id;
    }
    const int id = keyId(isAscii(rawName) ? foldedAscii(rawName) : folded(decoded(rawName)));
    if (rawKeys_.size() < 16)
        rawKeys_.emplace_back(rawName.toByteArray(), id);
    return id;
}

ProfileFile::Entry* ProfileFile::findEntry(int section, int key)
{
    const Section& s = sections_[size_t(section)];
    if (s.indexed) {
        ++entryComparisons_;
        const auto it = entryIndex_.constFind(entryKey(section, key));
        return it == entryIndex_.cend() ? nullptr : &entries_[size_t(*it)];
    }
    for (int e = s.first; e != -1; e = entries_[size_t(e)].next) {
        ++entryComparisons_;
        if (entries_[size_t(e)].key == key)
            return &entries_[size_t(e)];
    }
    return nullptr;
}

bool ProfileFile::addEntry(int section, const Entry& entry)
{
    Section& s = sections_[size_t(section)];
    const int added = int(entries_.size());
    if (s.indexed) {
        // Found or added in one look.
        ++entryComparisons_;
        const qsizetype before = entryIndex_.size();
        int& indexed = entryIndex_[entryKey(section, entry.key)];
        if (entryIndex_.size() == before)
            return false;
        indexed = added;
    } else if (findEntry(section, entry.key)) {
        return false;
    }
    entries_.push_back(entry);
    entries_.back().next = -1;
    if (s.last >= 0)
        entries_[s.last].next = added;
    else
        s.first = added;
    s.last = added;
    ++s.entryCount;
    if (!s.indexed && s.entryCount > ListedEntries) {
        for (int e = s.first; e != -1; e = entries_[size_t(e)].next)
            entryIndex_.insert(entryKey(section, entries_[size_t(e)].key), e);
        s.indexed = true;
    }
    return true;
}

int ProfileFile::findSection(const QString& name)
{
    // Readers mostly ask for the sections in the file's own order (the writer writes them in the
    // album's): the one after the last found is tried first, without folding and hashing.
    if (nextSection_ < int(sections_.size()) && sameAsciiName(sections_[size_t(nextSection_)].name, name))
        return nextSection_++;
    const int s = sectionIndex_.value(name, -1);
    if (s >= 0)
        nextSection_ = s + 1;
    return s;
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
    // Blanks and tabs around the value go, then one pair of matching enclosing quotes: all of
    // them ASCII in either encoding, so this is done on the bytes, before the one decoding.
    raw = trimmedBlanks(raw.sliced(raw.indexOf('=') + 1));
    if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') && raw.back() == raw.front())
        raw = raw.sliced(1, raw.size() - 2);

    QString value = decoded(raw);
    if (entry.extra == 0 && value.contains(u'\r'))
        value.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));  // a value written in this session
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
    const int id = keyIdIfAny(key);
    const Entry* entry = id < 0 ? nullptr : findEntry(s, id);
    return entry ? valueOf(*entry) : defaultValue;
}

std::optional<QStringList> ProfileFile::ReadSection(const QString& section, const QStringList& keys,
                                                    const QString& defaultValue)
{
    load();
    const int s = findSection(section);
    if (s < 0 || sections_[s].entryCount == 0)
        return std::nullopt;
    if (keys.constData() != askedKeys_.constData() || keys.size() != askedKeys_.size()) {
        askedKeys_ = keys;
        askedKeyIds_.clear();
        for (const QString& key : keys)
            askedKeyIds_.push_back(keyIdIfAny(key));
        askedLast_.assign(std::size_t(keys.size()), LastValue{});
    }
    QStringList values(keys.size(), defaultValue);
    for (qsizetype k = 0; k < keys.size(); ++k) {
        const Entry* entry = askedKeyIds_[size_t(k)] < 0 ? nullptr : findEntry(s, askedKeyIds_[size_t(k)]);
        if (!entry)
            continue;
        LastValue& last = askedLast_[size_t(k)];
        const Line& line = lines_[size_t(entry->line)];
        if (entry->extra > 0) {
            values[k] = valueOf(*entry);
        } else if (last.offset >= 0 && lineText(entry->line) == QByteArrayView(text_).sliced(last.offset, last.size)) {
            values[k] = last.value;
        } else {
            last = {line.offset, line.size, valueOf(*entry)};
            values[k] = last.value;
        }
    }
    return values;
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
    // Writing a file that could not be read would lose what it holds.
    if (unreadable_ || !writableIfThere(path_) || !folderTakesNewFile(path_))
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
    const int s = sectionIndex_.value(sectionKey, -1);
    const int k = keyId(folded(keyName));

    if (s < 0) {
        const QByteArray sectionBytes = encoded(sectionName);
        const QByteArray keyBytes = encoded(keyName);
        const int headerLine = insertAfter(tail_, {"[", sectionBytes, "]\r\n"});
        const int entryLine = insertAfter(headerLine, {keyBytes, "=", valueBytes, "\r\n"});
        const int added = int(sections_.size());
        sections_.push_back(Section{sectionKey, entryLine});
        sectionIndex_.insert(sectionKey, added);
        addEntry(added, Entry{k, entryLine, 0});
    } else if (Entry* entry = findEntry(s, k)) {
        // Keep the file's own spelling of the key; the line, and any further lines of a
        // multi-line value, become one key=value line.
        const QByteArrayView old = lineText(entry->line);
        const QByteArray fileKey = trimmedBlanks(old.first(old.indexOf('='))).toByteArray();
        setLine(entry->line, {fileKey, "=", valueBytes, "\r\n"});
        for (int extra = 1; extra <= entry->extra; ++extra)
            lines_[entry->line + extra].size = 0;
        entry->extra = 0;
    } else {
        const QByteArray keyBytes = encoded(keyName);
        const int line = insertAfter(sections_[s].anchor, {keyBytes, "=", valueBytes, "\r\n"});
        sections_[s].anchor = line;
        addEntry(s, Entry{k, line, 0});
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
    // In a file with a value that opens a quote it never closes, changed lines after it can
    // change how far it reaches when the file is read again, and with it other entries: such a
    // file is written only when it reads back exactly as this object holds it, never changed
    // silently.
    if (unclosed_ && !readsBackAs(bytes))
        throw EIniFileException(path_);
    if (!platform::replaceFile(path_, bytes))
        throw EIniFileException(path_);
    dirty_ = false;
}

bool ProfileFile::readsBackAs(const QByteArray& bytes)
{
    ProfileFile again(path_, windows1250_ ? Encoding::Windows1250 : Encoding::Utf8, Start::Empty, multiLineKey_);
    again.load();  // an empty file, ready to parse
    again.text_ = bytes;
    again.parse();
    const auto counted = qScopeGuard([&] { entryComparisons_ += again.entryComparisons_; });
    if (again.sections_.size() != sections_.size())
        return false;
    QHash<int, QString> keyNames;
    for (auto it = keyIds_.cbegin(); it != keyIds_.cend(); ++it)
        keyNames.insert(it.value(), it.key());
    for (std::size_t s = 0; s < sections_.size(); ++s) {
        const Section& section = sections_[s];
        const int other = again.sectionIndex_.value(section.name, -1);
        if (other < 0 || again.sections_[size_t(other)].entryCount != section.entryCount)
            return false;
        for (int e = section.first; e != -1; e = entries_[size_t(e)].next) {
            const int otherKey = again.keyIds_.value(keyNames.value(entries_[size_t(e)].key), -1);
            const Entry* entry = otherKey < 0 ? nullptr : again.findEntry(other, otherKey);
            if (!entry || again.valueOf(*entry) != valueOf(entries_[size_t(e)]))
                return false;
        }
    }
    return true;
}

}  // namespace storage
