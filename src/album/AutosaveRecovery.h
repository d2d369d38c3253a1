#pragma once

#include "album/Captions.h"
#include "album/PhotoTable.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// After a crash or a power cut, the typed captions are in the album's autosave file, not in
// "info.txt". Opening the album offers them back.
namespace album {

// The name of the album's autosave file, in its folder.
inline const QString AutosaveFileName = QStringLiteral("~info.txt");

// Where autosave went for an album whose folder could not be written: the temporary folder's
// "~" + folder name + ".txt". Empty for a folder without a name (the root folder), whose file
// could be any album's.
QString fallbackAutosavePath(const QString& albumDir);

// Lays captions over the rows of `table`, as Open does: title and description always, name,
// date and rights only where the file gives one that is not empty.
void layOver(const AlbumCaptions& captions, PhotoTable& table);

struct RecoverableAutosave {
    QString path;
    QDateTime modified;
    AlbumCaptions captions;
    Encoding encoding = Encoding::Windows1250;
};

// The autosave file of the album in `albumDir` worth offering back: the album's "~info.txt" or
// its file in the temporary folder, newer than "info.txt" (or "info.txt" is missing), holding
// captions other than `current` once laid over the scanned `table` (`current`: what "info.txt"
// holds, or the defaults where it is missing). Of several such files the newest. A file that
// cannot be read, or is no caption file (no "head", album rights that are no number), is never
// offered: its path goes to `damaged`.
std::optional<RecoverableAutosave> findRecoverableAutosave(const QString& albumDir, const PhotoTable& table,
                                                           const AlbumCaptions& current, QStringList& damaged);

}  // namespace album
