#pragma once

#include "album/PhotoTable.h"
#include "storage/ProfileFile.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

// The caption file ("info.txt", the autosave files, Save As files): a "head" section with the
// album's name, date, description and rights, then one section per photo with its title, name,
// date, description and rights, in table order. Windows-1250 text, or UTF-8 with a byte-order
// mark where the album's "info.txt" came so.
namespace album {

using storage::Encoding;

// The caption file's name in the photo folder.
inline const QString CaptionFileName = QStringLiteral("info.txt");

// The longest caption that reads back whole: the file's values are cut there on reading. The
// caption fields hold no more (a line break counts as one character).
constexpr int MaxCaptionLength = 2047;

// The name of a photo's section in the caption file and its default name: the file name
// without its last four characters.
QString keyOf(const QString& fileName);

// The caption file at `path`, with the caption layout's reading rules: of all values, only a
// description ("desc") goes on over several lines.
storage::ProfileFile captionFile(const QString& path, Encoding encoding,
                                 storage::ProfileFile::Start start = storage::ProfileFile::Start::FromFile);
// The encoding the caption file at `path` is saved in: UTF-8 with the mark when it starts with
// a UTF-8 or UTF-16 byte-order mark, Windows-1250 otherwise (also when it is missing).
Encoding captionEncodingOf(const QString& path);

// Every double quote becomes an apostrophe; nothing else changes.
QString QuoteSafe(QString text);
// A description as stored: empty stays empty, anything else is QuoteSafe'd and enclosed in
// double quotes (so leading and trailing blanks survive and line breaks stay inside the value).
QString encodeDescription(const QString& text);
// A single-line value as stored: every line break (CR LF, LF or CR) becomes one blank, so a
// pasted line break can never break the file's structure; a value that reading would strip of
// a pair of enclosing quotes (it starts and ends with the same quote, blanks aside) is enclosed
// in one more pair of double quotes. Everything else is written as it is.
QString singleLine(const QString& text);

// Whether a caption file in `encoding` can hold `text` exactly as it is.
bool captionCanHold(const QString& text, Encoding encoding = Encoding::Windows1250);
// How many characters of `text` such a file cannot hold.
int unholdableCount(const QString& text, Encoding encoding = Encoding::Windows1250);

// `text` with every character the file cannot hold replaced by "_", for defaults the program
// makes from folder and file names (the user sees exactly what will be stored).
QString holdable(const QString& text, Encoding encoding = Encoding::Windows1250);

// The section names of all rows, in table order, one rule for writing and reading: the file
// name without its last four characters, or the whole file name when that leaves nothing but
// blanks. Characters a section name cannot hold ("]", control characters, characters the file
// cannot hold) are written as "%XX" for each of their UTF-8 bytes, which every INI reader
// takes. Section names compare without regard to case and to blanks around them, so a photo
// whose section an earlier photo already has (a.jpg and a.JPG, " c.jpg" and "c.jpg"), or the
// album's "head" (head.jpg), gets its whole file name instead, and "~2", "~3" ... after that if
// needed.
QStringList sectionNames(const PhotoTable& table, Encoding encoding = Encoding::Windows1250);
// Groups of photos (file names, in table order) whose plain section names coincide, for a
// warning at Open, in the order of their first photos.
QList<QStringList> photosSharingASection(const PhotoTable& table, Encoding encoding = Encoding::Windows1250);
// Both at once.
struct SectionNaming {
    QStringList names;
    QList<QStringList> shared;
};
SectionNaming nameSections(const PhotoTable& table, Encoding encoding = Encoding::Windows1250);
// The name an earlier version of the program gave a photo's section where its name holds
// characters the file cannot hold ("&#N;" for each); empty where it was the same.
QString formerSectionName(const QString& fileName);


// The album's own captions.
struct AlbumHeader {
    QString name;
    QString date;
    QString description;
    int rights = 0;
};

// Writes the header and every row (section Key) into `file`, in the caption layout's order;
// `afterRow` runs after each row. Raises what the file raises. A ProfileFile keeps what else an
// existing file holds; a ProfileWriter writes the file new and whole (each section once: the
// table's keys are unique and never "head").
void writeCaptions(storage::ProfileFile& file, const AlbumHeader& header, const PhotoTable& table,
                   const std::function<void()>& afterRow);
void writeCaptions(storage::ProfileWriter& file, const AlbumHeader& header, const PhotoTable& table,
                   const std::function<void()>& afterRow);

// What a caption file says about an album, as read: the "head" entries and, for each row of
// the table, its section's entries (none when the file has no such section). A missing entry
// reads as empty, a missing "head"/"rights" as "0". `complete` tells whether the file has every
// entry a save writes: the "head" ones and, for every row, its own section (not one under a
// former name) with all of its entries.
struct PhotoCaptions {
    QString title;
    QString name;
    QString date;
    QString description;
    QString rights;
    bool operator==(const PhotoCaptions&) const = default;
};
struct AlbumCaptions {
    QString name;
    QString date;
    QString description;
    QString rights;
    std::vector<std::optional<PhotoCaptions>> photos;
    bool complete = false;
    bool operator==(const AlbumCaptions&) const = default;
};
// Reads the captions of the table's photos (sections by Key, or by their former names).
// Raises "Cannot open file ..." when the file is there but could not be read whole: what it
// holds must never pass for an empty file.
AlbumCaptions readCaptions(storage::ProfileFile& file, const PhotoTable& table);

// Whether a save of the album (its header and rows) would write nothing that the file read as
// `inFile` does not hold already: every entry is there, with the value the album has.
bool fileHoldsAlbum(const AlbumCaptions& inFile, const AlbumHeader& header, const PhotoTable& table);

}  // namespace album
