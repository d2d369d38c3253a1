#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

// The file-system services the program needs, with the rules it relies on.
// Paths use "/"; a folder path has no trailing "/" except the root "/" and the temporary folder.
namespace platform {

struct FolderEntry {
    QString name;           // as listed, no folder
    QDateTime modified;     // last modification, local time
};

// Entries of `folder` whose names end in `extension` (such as ".jpg") without regard to case:
// ordinary and hidden files and sub-folders alike, sorted by name without regard to case
// (names compared in upper case, code unit by code unit, as a name-ordered folder listing
// delivers them). A folder that cannot be listed yields nothing.
QList<FolderEntry> listFolder(const QString& folder, const QString& extension);

// A file exists when it is a regular file (or a link to one), whatever its modification time.
bool fileExists(const QString& path);
bool folderExists(const QString& path);
// Deletes a file; false when it could not be deleted.
bool deleteFile(const QString& path);
QDateTime modificationTime(const QString& path);

// The process's current working folder.
QString workingFolder();
// The temporary-files folder, always ending in "/".
QString tempFolder();

// `folder` + "/" + `name`; an empty folder stands for the root folder "/".
QString joinPath(const QString& folder, const QString& name);
// A folder's own name: the part after its last "/" (the root folder's is empty).
QString folderName(const QString& folder);

// The short date of this program's locale: d.M.yyyy, such as 15.1.2004, in local time.
QString shortDate(const QDateTime& time);

}  // namespace platform
