#pragma once

#include "album/PhotoTable.h"
#include "platform/FileSystem.h"

#include <QList>
#include <QString>

namespace album {

// The name of a photo's section in the caption file and its default name: the file name
// without its last four characters.
QString keyOf(const QString& fileName);

// The folder's "*.jpg" entries in listing order; an empty folder stands for the root folder.
QList<platform::FolderEntry> listPhotos(const QString& folder);

// Fills the freshly reset table from the listing: FileName, Name (the file name without its
// last four characters, see holdable), Date (the entry's own modification date), Rights "0"
// and Key (see sectionNames) for each photo. The listing ends at the first entry after
// the first whose name begins with "tn" (thumbnails, which sort after the photos).
void fillTable(const QList<platform::FolderEntry>& photos, PhotoTable& table);

}  // namespace album
