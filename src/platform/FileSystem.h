#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>

#include <sys/types.h>

// The file-system services the program needs, with the rules it relies on.
// Paths use "/"; a folder path has no trailing "/" except the root "/" and the temporary folder.
namespace platform {

struct FolderEntry {
    QString name;    // as listed, no folder
    QDate modified;  // the local date of its last modification (a link's own where it leads nowhere)
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

// Opens `path` for reading when it is a regular file (or a link to one), without ever waiting:
// a FIFO, a device or a folder of that name is refused as a missing file is. The open file
// descriptor, which the caller closes, or -1.
int openRegularFile(const QString& path);

// Replaces the file at `path` with `bytes` so that, whatever happens meanwhile (a full disk, a
// kill, a power cut), the path holds either the old file whole or the new one whole: the bytes
// go into a new file beside it, "<name>.XXXXXX", which is written and synced to the end, then
// renamed over the old one; then the folder is synced. The new file takes the old one's
// permissions. The old file itself is never opened for writing. A step interrupted by a signal
// is made again. False when any step fails; the temporary file is then removed (should that fail,
// the next call for the file removes it). The first call for a path in a run also removes what
// such calls of an earlier run left beside it when it was killed before the rename.
bool replaceFile(const QString& path, QByteArrayView bytes);

// The system calls a file replacement makes, so that a test can fail or interrupt any of them
// and see what the replacement does then. The real calls are in force unless a test installs
// others (ScopedFileCalls).
class FileCalls {
public:
    virtual ~FileCalls() = default;
    virtual int open(const char* path, int flags, mode_t mode);
    virtual ssize_t write(int fd, const void* data, size_t size);
    virtual int fdatasync(int fd);
    virtual int fsync(int fd);
    virtual int close(int fd);
    virtual int rename(const char* from, const char* to);
    virtual int unlink(const char* path);
};
FileCalls& fileCalls();

// Puts `calls` in force while it lives; the calls in force before come back after it.
class ScopedFileCalls {
public:
    explicit ScopedFileCalls(FileCalls& calls);
    ~ScopedFileCalls();
    ScopedFileCalls(const ScopedFileCalls&) = delete;
    ScopedFileCalls& operator=(const ScopedFileCalls&) = delete;

private:
    FileCalls* previous_;
};

// The same replacing, with the new content written piece by piece, so that a big file is never
// put together in memory first. The new file is made at once; the old one stays as it is until
// commit() has succeeded. A replacement that failed, or is given up (destroyed without commit),
// removes its new file.
class FileReplacement {
public:
    explicit FileReplacement(const QString& path);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // False once a step failed (the new file could not be made, written or synced).
    bool ok() const { return fd_ >= 0; }
    bool write(QByteArrayView bytes);
    // Syncs the new file, renames it over the old one and syncs the folder; false when it fails.
    bool commit();

private:
    void giveUp();

    QByteArray target_;     // the file replaced (where a link leads), in the file system's encoding
    QByteArray temporary_;  // the new file beside it
    int fd_ = -1;
};
// Whether `name` is one of those leftovers of replacing the file named `target`.
bool isReplaceLeftover(const QString& name, const QString& target);

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
QString shortDate(QDate date);

}  // namespace platform
