#pragma once

#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "storage/NameIndex.h"
#include "storage/ProfileText.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QHashFunctions>
#include <QSet>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

namespace storage {


// A profile file could not be written. The message names the path the file was created with.
class EIniFileException : public platform::Error {
public:
    explicit EIniFileException(const QString& path)
        : platform::Error(QStringLiteral("Unable to write to %1").arg(path)) {}
};

// An INI profile file: "[section]" lines, each followed by "key=value" entry lines.
//
// The file is read and parsed once, at the first call that needs it; writes change the parsed
// copy, and the whole file is written once, by Flush() or by the destructor. Bytes of the file
// that no write touches stay exactly as they were.
//
// Reading: section and key names are compared without regard to case; blanks and tabs around
// names and values in the file are ignored; a section name ends at its first "]"; a line whose
// first other character is ";" is a comment, and a line without "=" is no entry; of duplicate sections
// and duplicate keys the first counts. One pair of matching enclosing quotes (" or ') is removed
// from a value, which is then cut to 2047 characters. Every entry is its own line, except the
// entries of one key the object is created with (a caption file's "desc"): a value of that key
// whose text starts with a double quote and holds no other goes on over the following lines up
// to the line whose only double quote ends it (none of those lines is a section or an entry);
// it reads back with its line breaks as "\n". Where the next line holding a double quote does
// not end that way, the value is its own line alone. Reading never throws: a missing or
// unreadable file reads as empty (see readFailed).
//
// Writing: a replaced entry keeps the file's spelling of its key and is rewritten as key=value,
// all the lines of a multi-line value becoming that one entry; a new key goes directly after
// the last entry of its section; a new section is appended at the end of the file. Values are
// written verbatim; a line break in a value ("\r\n", "\n" or "\r") is written as CR LF. Such a
// value reads back whole only in the key that may go on over lines, enclosed in double quotes
// and holding no other double quote (the caption writer makes descriptions so); otherwise the
// file holds its later lines as lines of their own. Written lines end in CR LF. Names are the caller's job too: a section name
// holding "]", or a key holding "=" or starting with ";" or "[", is written as given but does
// not read back from the file.
//
class ProfileFile {
public:
    using Encoding = storage::Encoding;

    // What the object starts from: the file's content, or nothing at all, so that the file is
    // replaced whole by what is written (still only at the flush, so the old file stays until
    // the new one is complete).
    enum class Start { FromFile, Empty };
    // Stores its arguments only; no file is touched. `multiLineKey` names the one key whose
    // values may go on over several lines (none when empty).
    ProfileFile(const QString& path, Encoding encoding, Start start = Start::FromFile,
                const QString& multiLineKey = QString());
    // Flushes pending writes (a failure is swallowed), unless an error is on its way out: what
    // was written before it then stays out of the file.
    ~ProfileFile();
    ProfileFile(const ProfileFile&) = delete;
    ProfileFile& operator=(const ProfileFile&) = delete;

    // The entry's value, or defaultValue when the file, the section or the key is missing. A value
    // read from the file is never a null QString, even when empty: with a null default, a null
    // result tells a missing entry from an empty one (also in ReadSection).
    QString ReadString(const QString& section, const QString& key, const QString& defaultValue);
    // Sets the entry. Raises EIniFileException when the file cannot be created or written (the
    // first write checks), and when section, key or value hold a character the file's encoding
    // cannot hold (see canEncode): nothing is ever written as a substitute character. After an
    // error the parsed copy is as it was.
    void WriteString(const QString& section, const QString& key, const QString& value);
    // True only if the section exists and holds at least one entry.
    bool SectionExists(const QString& section);
    // The values of `keys` in `section`, each as ReadString gives it (`defaultValue` where the
    // entry is missing), with one look for the section; none when SectionExists is false.
    std::optional<QStringList> ReadSection(const QString& section, const QStringList& keys,
                                           const QString& defaultValue);
    // Writes pending changes to disk, replacing the file atomically and durably (see
    // platform::replaceFile: the old file stays whole when this fails, and is never written in
    // place). Raises EIniFileException on failure.
    void Flush();
    // True when the file exists but could not be read whole (it is no regular file, it cannot be
    // opened, or reading it failed part way): what reads from it gave is not what it holds.
    bool readFailed();
    // True when the file starts with a UTF-8 byte-order mark (and is read and written as UTF-8).
    bool hasByteOrderMark();

    QString path() const { return path_; }
    // How many entries key lookups have compared so far. A lookup compares a few entries at
    // most, however many its section holds: tests watch this grow with the file, not faster.
    std::uint64_t entryComparisons() const { return entryComparisons_; }

    // Whether `text` can be written in `encoding` exactly as it is, so that WriteString accepts it.
    static bool canEncode(const QString& text, Encoding encoding);
    // A section or key name as the file compares it: blanks around it and case do not count.
    static QString comparableName(const QString& name);

private:
    // A line of the file with its line end, or a line this object wrote, as a range of text_.
    // The lines form a list in file order through `next`; lines_[0] is an empty head.
    struct Line {
        qsizetype offset = 0;
        qsizetype size = 0;
        int next = -1;
    };
    // The first entry of a key in a counted section; a section's entries form a list through
    // `next`, in file order.
    struct Entry {
        int key = 0;    // see keyId
        int line = 0;   // the entry's first line
        int extra = 0;  // following lines a multi-line value takes
        int next = -1;
    };
    struct Section {
        QString name;    // case-folded
        int anchor = 0;  // the last line of its last entry, or its section line
        int first = -1;  // its entries
        int last = -1;
        int entryCount = 0;
        bool indexed = false;  // its entries are in entryIndex_ too (see ListedEntries)
    };
    // A section of at most this many entries is looked through entry by entry (a caption file's
    // sections hold five); a bigger one is indexed by key, so that a file of any number of keys
    // in one section reads and writes in time proportional to its size.
    static constexpr int ListedEntries = 8;

    void load();
    // Whether the file made of `bytes` reads as this object holds the file now.
    bool readsBackAs(const QByteArray& bytes);
    // A file in UTF-16 (it starts with a UTF-16 byte-order mark) becomes the same text in UTF-8;
    // false when it is no UTF-16 text.
    bool fromUtf16();
    void parse();
    void checkWritable();
    QByteArray encoded(const QString& text);
    QString decoded(QByteArrayView bytes);
    QByteArrayView lineText(int line) const;
    QString valueOf(const Entry& entry);
    void setLine(int line, std::initializer_list<QByteArrayView> pieces);
    int insertAfter(int line, std::initializer_list<QByteArrayView> pieces);
    int findSection(const QString& name);
    // A number for each key name, the same for all spellings that compare equal; -1 for a name
    // the file does not have (keyIdIfAny).
    int keyId(const QString& foldedName);
    int keyIdIfAny(const QString& callerKey) const;
    int rawKeyId(QByteArrayView rawName);
    Entry* findEntry(int section, int key);
    // Adds the entry to the section's end unless the section has its key already; false then.
    bool addEntry(int section, const Entry& entry);
    static quint64 entryKey(int section, int key) { return quint64(quint32(section)) << 32 | quint32(key); }

    QString path_;
    QString multiLineKey_;     // case-folded; empty when no value goes on over lines
    int multiLineKeyId_ = -1;  // its number (keyId), once the file is parsed
    bool bom_ = false;
    bool windows1250_ = false;  // the text is Windows-1250 (by table), else UTF-8
    bool loaded_ = false;
    Start start_ = Start::FromFile;
    bool unreadable_ = false;  // exists but could not be read: never overwrite it
    bool writable_ = false;    // checked once, at the first write
    bool unclosed_ = false;    // a value opens a quote it never closes (see Flush)
    bool dirty_ = false;
    QByteArray text_;  // the file's bytes, followed by every text written since
    std::vector<Line> lines_;
    int tail_ = 0;
    std::vector<Section> sections_;
    std::vector<Entry> entries_;
    QHash<quint64, int> entryIndex_;  // entryKey -> entry, for the entries of indexed sections
    std::uint64_t entryComparisons_ = 0;
    NameIndex sectionIndex_;  // the first section of each name
    int nextSection_ = 0;               // the section after the one found last: readers go in order
    QHash<QString, int> keyIds_;        // case-folded key name -> its number
    // The few key spellings a file repeats in every section ("title", "name" ...), found by
    // their bytes without decoding and folding each time.
    std::vector<std::pair<QByteArray, int>> rawKeys_;
    // The keys ReadSection was last asked for, and their numbers: a reader asks for the same
    // list in every section.
    QStringList askedKeys_;
    std::vector<int> askedKeyIds_;
    // The value read last for each of them, and where its line's bytes lie in text_ (bytes there
    // never change: written text is appended). Values repeat from section to section (a date, a
    // right, a description); one read from the same line bytes again is shared, not made again.
    struct LastValue {
        qsizetype offset = -1;
        qsizetype size = 0;
        QString value;
    };
    std::vector<LastValue> askedLast_;
    QStringEncoder encoder_;
    QStringDecoder decoder_;
    int exceptionsAtStart_;  // errors on their way out when the object was made
};

// A profile file written new and whole in one pass, as a save that replaces a file needs: the
// entries go out in the order written, a section line before each section's first entry. The
// caller writes each section once and each key of a section once (no lookup is kept to find
// them again), and then writes exactly what a ProfileFile started Empty would for the same calls.
// Names, values, encodings, errors and the replacing of the file at Flush follow ProfileFile's
// rules. The new file is written piece by piece as the entries come (the old one stays until
// Flush has replaced it), so that a big file is never held whole in memory; Flush ends it, and
// what is written after a Flush makes another file.
class Cp1250Table;

class ProfileWriter {
public:
    ProfileWriter(const QString& path, Encoding encoding);
    // Flushes (a failure is swallowed), unless an error is on its way out: what was written
    // before it is then given up, and the old file stays as it was.
    ~ProfileWriter();
    ProfileWriter(const ProfileWriter&) = delete;
    ProfileWriter& operator=(const ProfileWriter&) = delete;

    void WriteString(const QString& section, const QString& key, const QString& value);
    void Flush();
    QString path() const { return path_; }

private:
    // Writes `text` at `out` in the file's encoding (its line breaks as CR LF when `lineBreaks`),
    // moving `out` on; false when the encoding cannot hold it.
    bool put(char*& out, QStringView text, bool lineBreaks);
    // Hands the bytes put together so far on to the new file.
    void drain();

    // The bytes are put together in pieces of this size, each written out when full.
    static constexpr qsizetype PieceBytes = 256 * 1024;

    QString path_;
    const Cp1250Table* table_;  // Windows-1250 by table; none: UTF-8
    bool bom_;
    bool writable_ = false;
    bool dirty_ = false;
    QString section_;  // the section being written, as the caller named it
    std::unique_ptr<platform::FileReplacement> file_;  // the new file, from the first entry to Flush
    QByteArray bytes_;  // the next bytes of the file: the first used_ of them
    qsizetype used_ = 0;
    QStringEncoder encoder_;
    QStringDecoder decoder_;
    int exceptionsAtStart_;  // errors on their way out when the writer was made
};

}  // namespace storage
