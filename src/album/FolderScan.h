#pragma once

#include "album/Captions.h"
#include "album/PhotoTable.h"
#include "platform/FileSystem.h"
#include "storage/ProfileFile.h"

#include <QList>
#include <QString>

namespace album {

// The folder's "*.jpg" entries in listing order; an empty folder stands for the root folder.
QList<platform::FolderEntry> listPhotos(const QString& folder);

// Fills the freshly reset table from the listing: FileName, Name (the file name without its
// last four characters, see holdable), Date (the entry's own modification date), Rights "0"
// and Key (see sectionNames) for each photo, for a caption file in `encoding`. Entries after
// the first whose names begin with "tn" (the gallery's thumbnails) are no photos and are
// skipped; the first entry is always a photo. Returns the groups of photos that share a
// section name (photosSharingASection).
QList<QStringList> fillTable(const QList<platform::FolderEntry>& photos, PhotoTable& table,
                             storage::Encoding encoding = storage::Encoding::Windows1250);

}  // namespace album
