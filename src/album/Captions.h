#pragma once

#include "album/PhotoTable.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace storage { class ProfileFile; }

// The caption file ("info.txt", the autosave files, Save As files): a "head" section with the
// album's name, date, description and rights, then one section per photo with its title, name,
// date, description and rights, in table order. Windows-1250 text.
namespace album {

// The caption file's name in the photo folder.
inline const QString CaptionFileName = QStringLiteral("info.txt");

// Every double quote becomes an apostrophe; nothing else changes.
QString QuoteSafe(QString text);
// A description as stored: empty stays empty, anything else is QuoteSafe'd and enclosed in
// double quotes (so leading and trailing blanks survive and line breaks stay inside the value).
QString encodeDescription(const QString& text);
// A single-line value as stored: every line break (CR LF, LF or CR) becomes one blank, so a
// pasted line break can never break the file's structure; a value starting with a quote is
// enclosed in double quotes, so that it reads back as it was.
QString singleLine(const QString& text);

// Whether the caption file can hold `text` exactly as it is (Windows-1250).
bool captionCanHold(const QString& text);
// How many characters of `text` the caption file cannot hold.
int unholdableCount(const QString& text);

// `text` with every character the caption file cannot hold replaced by "_", for defaults the
// program makes from folder and file names (the user sees exactly what will be stored).
QString holdable(const QString& text);

// The section names of all rows, in table order, one rule for writing and reading: the file
// name without its last four characters, or the whole file name when that leaves nothing;
// characters the file cannot hold are written as "&#N;" (N the decimal code point). Section
// names compare without regard to case, so a photo whose name an earlier photo already has
// (a.jpg and a.JPG) gets its whole file name instead, and "~2", "~3" ... after that if needed.
QStringList sectionNames(const PhotoTable& table);

// Groups of photos (file names) whose plain section names coincide, for a warning at Open.
QList<QStringList> photosSharingASection(const PhotoTable& table);

// The album's own captions.
struct AlbumHeader {
    QString name;
    QString date;
    QString description;
    int rights = 0;
};

// Writes the header and every row (section Key) into `file`, in the caption layout's order;
// `afterRow` runs after each row. Raises what ProfileFile raises.
void writeCaptions(storage::ProfileFile& file, const AlbumHeader& header, const PhotoTable& table,
                   const std::function<void()>& afterRow);

}  // namespace album
