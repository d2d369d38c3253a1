#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QRandomGenerator>
#include <QSet>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

// The local date of a moment in seconds since the epoch (the C library's conversion: a fraction
// of what a QDateTime in local time costs, which counts for a folder of 50,000 photos).
QDate localDate(time_t seconds)
{
    struct tm local {};
    if (!::localtime_r(&seconds, &local))
        return {};
    return QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

// Whether the file name `name` ends in `extension` (ASCII, such as ".jpg") without regard to case.
bool endsWithExtension(const char* name, size_t length, const QByteArray& extension)
{
    if (length < size_t(extension.size()))
        return false;
    const char* tail = name + length - size_t(extension.size());
    for (qsizetype i = 0; i < extension.size(); ++i) {
        if (QChar::toLower(char16_t(uchar(tail[i]))) != QChar::toLower(char16_t(uchar(extension[i]))))
            return false;
    }
    return true;
}

}  // namespace

namespace {

// An entry as the folder is read: its name's bytes kept in one buffer for all, so that the
// order is found on a few compact records, and the names become text only once they are in
// order (a big folder's names then lie in memory in the order every later pass reads them).
struct Listed {
    qsizetype offset = 0;  // of the name's bytes in the buffer
    qsizetype size = 0;
    int decoded = -1;  // a name with non-ASCII bytes: its index in the decoded names, else -1
    time_t modified = 0;
};

// A non-ASCII name as text, and in upper case.
struct DecodedName {
    QString name;
    QString upper;
};

// The code units of a name, or of its upper case: ASCII bytes, or text.
struct Units {
    const char* ascii = nullptr;
    const QChar* text = nullptr;
    qsizetype size = 0;

    char16_t operator[](qsizetype i) const { return ascii ? char16_t(uchar(ascii[i])) : text[i].unicode(); }
};

int compareSizes(qsizetype a, qsizetype b)
{
    return a == b ? 0 : (a < b ? -1 : 1);
}

int compareUnits(const Units& a, const Units& b)
{
    if (a.ascii && b.ascii) {  // ASCII bytes are in the order of their code units
        const int byBytes = std::memcmp(a.ascii, b.ascii, std::size_t(std::min(a.size, b.size)));
        return byBytes != 0 ? byBytes : compareSizes(a.size, b.size);
    }
    const qsizetype common = std::min(a.size, b.size);
    for (qsizetype i = 0; i < common; ++i) {
        const char16_t x = a[i];
        const char16_t y = b[i];
        if (x != y)
            return x < y ? -1 : 1;
    }
    return compareSizes(a.size, b.size);
}

bool isAsciiName(const char* name, size_t length)
{
    return std::all_of(name, name + length, [](char c) { return uchar(c) < 0x80; });
}

}  // namespace

QList<FolderEntry> listFolder(const QString& folder, const QString& extension)
{
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return {};
    const int fd = ::dirfd(dir);
    const QByteArray wanted = extension.toLatin1();
    QByteArray bytes;  // the names' bytes
    QByteArray upper;  // the same, ASCII names in upper case
    std::vector<Listed> found;
    std::vector<DecodedName> decoded;
    // Each entry is looked at relative to the folder (no path to resolve again), its link
    // followed; a link that leads nowhere (broken, or a loop) gives its own time.
    while (const dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        const size_t length = std::strlen(name);
        if (!endsWithExtension(name, length, wanted) || std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0)
            continue;
        struct stat st {};
        if (::fstatat(fd, name, &st, 0) != 0 && ::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;  // gone since it was listed
        Listed listed{bytes.size(), qsizetype(length), -1, st.st_mtim.tv_sec};
        if (!isAsciiName(name, length)) {
            const QString text = QFile::decodeName(QByteArray(name, qsizetype(length)));
            listed.decoded = int(decoded.size());
            decoded.push_back({text, text.toUpper()});
        }
        bytes.append(name, qsizetype(length));
        upper.append(name, qsizetype(length));
        std::transform(upper.end() - length, upper.end(), upper.end() - length,
                       [](char c) { return c >= 'a' && c <= 'z' ? char(c - ('a' - 'A')) : c; });
        found.push_back(listed);
    }
    ::closedir(dir);
    const auto units = [&](const Listed& e, bool inUpperCase) {
        if (e.decoded < 0)
            return Units{(inUpperCase ? upper : bytes).constData() + e.offset, nullptr, e.size};
        const DecodedName& text = decoded[std::size_t(e.decoded)];
        return inUpperCase ? Units{nullptr, text.upper.constData(), text.upper.size()}
                           : Units{nullptr, text.name.constData(), text.name.size()};
    };
    // Sorted by the upper-case names, code unit by code unit (a.jpg and A.JPG in a fixed order
    // all the same).
    std::sort(found.begin(), found.end(), [&](const Listed& a, const Listed& b) {
        const int byUpper = compareUnits(units(a, true), units(b, true));
        return byUpper != 0 ? byUpper < 0 : compareUnits(units(a, false), units(b, false)) < 0;
    });
    QList<FolderEntry> entries;
    entries.reserve(qsizetype(found.size()));
    for (const Listed& e : found) {
        QString name = e.decoded < 0 ? QString::fromLatin1(bytes.constData() + e.offset, e.size)
                                     : decoded[std::size_t(e.decoded)].name;
        entries.append({std::move(name), localDate(e.modified)});
    }
    return entries;
}

bool fileExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool folderExists(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

bool deleteFile(const QString& path)
{
    return QFile::remove(path);
}

QDateTime modificationTime(const QString& path)
{
    return QFileInfo(path).lastModified();
}

namespace {

constexpr int kSuffixLength = 6;
const char kSuffixCharacters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

FileCalls realCalls;
std::atomic<FileCalls*> installedCalls{&realCalls};

// What `call` returns, made again for as long as a signal interrupts it.
template <typename Call>
auto uninterrupted(Call call)
{
    auto result = call();
    while (result < 0 && errno == EINTR)
        result = call();
    return result;
}

// Writes all of `bytes`: a write may take fewer bytes than it was given, and the rest follows.
bool writeAll(int fd, QByteArrayView bytes)
{
    FileCalls& calls = fileCalls();
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = uninterrupted([&] { return calls.write(fd, data, size_t(left)); });
        if (written <= 0)
            return false;  // a write of nothing would never end
        data += written;
        left -= written;
    }
    return true;
}

// A new, empty file "<path>.XXXXXX" that did not exist before, open for writing; -1 when none can
// be made. (Should an interrupted open have made its file all the same, the next replacement
// removes it.)
int createBeside(const QByteArray& path, QByteArray& created)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        // The first character is never a small letter, so that no suffix of ours is a word in
        // small letters, which isReplaceLeftover leaves alone.
        created = path + '.';
        created += kSuffixCharacters[QRandomGenerator::global()->bounded(26)];
        for (int i = 1; i < kSuffixLength; ++i)
            created += kSuffixCharacters[QRandomGenerator::global()->bounded(int(sizeof kSuffixCharacters) - 1)];
        const int fd = uninterrupted(
            [&] { return fileCalls().open(created.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); });
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Renames the synced new file `from` over `to`. A rename interrupted by a signal may have
// happened all the same; made again it then finds no file to rename, and `to` is the new file.
bool renameOver(const QByteArray& from, const QByteArray& to, const struct stat& written)
{
    bool interrupted = false;
    while (fileCalls().rename(from.constData(), to.constData()) != 0) {
        if (errno != EINTR) {
            struct stat now {};
            return interrupted && errno == ENOENT && ::stat(to.constData(), &now) == 0
                   && now.st_dev == written.st_dev && now.st_ino == written.st_ino;
        }
        interrupted = true;
    }
    return true;
}

void syncFolder(const QByteArray& folder)
{
    FileCalls& calls = fileCalls();
    const int fd = uninterrupted([&] { return calls.open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0); });
    if (fd < 0)
        return;
    // Some file systems cannot sync a folder; the rename has happened all the same.
    uninterrupted([&] { return calls.fsync(fd); });
    calls.close(fd);
}

// What this process knows of the new files of its replacements, under one lock: those being
// written now (never taken for leftovers), those it could not remove (tried again at every
// replacement of their file), and, for each folder it replaces files in, the names of those files
// and the folder's modification time as this process's last replacement there left it.
QMutex replacingLock;
QSet<QByteArray> replacing;
QSet<QByteArray> unremoved;
struct FolderSeen {
    QSet<QByteArray> names;
    timespec modified {};
    bool known = false;
};
QHash<QByteArray, FolderSeen> seenFolders;

QByteArray folderOf(const QByteArray& target)
{
    const qsizetype slash = target.lastIndexOf('/');  // the path is absolute
    return slash > 0 ? target.left(slash) : QByteArray("/");
}

bool folderModified(const QByteArray& folder, timespec& modified)
{
    struct stat st {};
    if (::stat(folder.constData(), &st) != 0)
        return false;
    modified = st.st_mtim;
    return true;
}

// Notes how this process's replacement left the folder of `target`: a later change of the
// folder is someone else's, and may have left new files behind.
void noteFolder(const QByteArray& target)
{
    FolderSeen& seen = seenFolders[folderOf(target)];
    seen.known = folderModified(folderOf(target), seen.modified);
}

// Removes a new file given up; one that cannot be removed now is removed by a later replacement.
void removeNewFile(const QByteArray& temporary)
{
    const bool removed = uninterrupted([&] { return fileCalls().unlink(temporary.constData()); }) == 0 || errno == ENOENT;
    const QMutexLocker lock(&replacingLock);
    replacing.remove(temporary);
    if (!removed)
        unremoved.insert(temporary);
}

// Removes what replacements of `target` (an absolute path) left beside it: the new files this
// process could not remove; and those of runs killed before their rename (an earlier run's or
// another instance's), read straight from the folder, name by name, at the first replacement of a
// file there and whenever the folder changed since this process's last replacement in it. (It may
// hold 50,000 photos: reading it at every save would cost as much as the save itself; a look at
// its time costs nothing.)
void removeLeftovers(const QByteArray& target)
{
    for (auto it = unremoved.begin(); it != unremoved.end();) {
        const bool ours = it->size() == target.size() + 1 + kSuffixLength && it->startsWith(target + '.');
        if (ours && (uninterrupted([&] { return fileCalls().unlink(it->constData()); }) == 0 || errno == ENOENT))
            it = unremoved.erase(it);
        else
            ++it;
    }
    const QByteArray folder = folderOf(target);
    const qsizetype nameStart = folder == "/" ? 1 : folder.size() + 1;
    const QByteArray name = target.mid(nameStart);
    FolderSeen& seen = seenFolders[folder];
    const bool newName = !seen.names.contains(name);
    seen.names.insert(name);
    timespec modified {};
    if (!newName && seen.known && folderModified(folder, modified) && modified.tv_sec == seen.modified.tv_sec
        && modified.tv_nsec == seen.modified.tv_nsec)
        return;  // nobody else changed the folder
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    const int fd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        const bool leftover = std::any_of(seen.names.cbegin(), seen.names.cend(), [&](const QByteArray& known) {
            return std::strncmp(entry->d_name, known.constData(), size_t(known.size())) == 0
                && entry->d_name[known.size()] == '.'
                && isReplaceLeftover(QFile::decodeName(entry->d_name), QFile::decodeName(known));
        });
        const QByteArray path = target.left(nameStart) + entry->d_name;
        struct stat st {};
        if (leftover && !replacing.contains(path) && ::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0
            && S_ISREG(st.st_mode))
            uninterrupted([&] { return fileCalls().unlink(path.constData()); });
    }
    ::closedir(dir);
}

}  // namespace

int openRegularFile(const QString& path)
{
    // Opening a FIFO for reading waits for a writer; not with O_NONBLOCK, which regular files
    // ignore.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool isReplaceLeftover(const QString& name, const QString& target)
{
    if (name.size() != target.size() + 1 + kSuffixLength || !name.startsWith(target + u'.'))
        return false;
    const QStringView suffix = QStringView(name).last(kSuffixLength);
    bool notAllLower = false;
    for (QChar c : suffix) {
        const bool lower = c >= u'a' && c <= u'z';
        if (!lower && !(c >= u'A' && c <= u'Z') && !(c >= u'0' && c <= u'9'))
            return false;
        notAllLower = notAllLower || !lower;
    }
    // A word in lower case ("info.txt.backup", "info.txt.zaloha") is someone's copy, never ours.
    return notAllLower;
}

int FileCalls::open(const char* path, int flags, mode_t mode)
{
    return ::open(path, flags, mode);
}

ssize_t FileCalls::write(int fd, const void* data, size_t size)
{
    return ::write(fd, data, size);
}

int FileCalls::fdatasync(int fd)
{
    return ::fdatasync(fd);
}

int FileCalls::fsync(int fd)
{
    return ::fsync(fd);
}

int FileCalls::close(int fd)
{
    return ::close(fd);
}

int FileCalls::rename(const char* from, const char* to)
{
    return ::rename(from, to);
}

int FileCalls::unlink(const char* path)
{
    return ::unlink(path);
}

FileCalls& fileCalls()
{
    return *installedCalls.load();
}

ScopedFileCalls::ScopedFileCalls(FileCalls& calls) : previous_(installedCalls.exchange(&calls)) {}

ScopedFileCalls::~ScopedFileCalls()
{
    installedCalls.store(previous_);
}

FileReplacement::FileReplacement(const QString& path)
{
    // A link to the file: the file it leads to is replaced, and the link stays.
    const QFileInfo info(path);
    target_ = QFile::encodeName(info.isSymLink() && info.exists() ? info.canonicalFilePath() : info.absoluteFilePath());
    {
        const QMutexLocker lock(&replacingLock);
        removeLeftovers(target_);
        fd_ = createBeside(target_, temporary_);
        if (fd_ < 0)
            return;
        replacing.insert(temporary_);
    }
    struct stat old {};
    if (::stat(target_.constData(), &old) == 0 && S_ISREG(old.st_mode)) {
        ::fchmod(fd_, old.st_mode & 07777);
        if (::fchown(fd_, old.st_uid, old.st_gid) != 0) {
            // Only the owner's own group, or root, can hand the file on; it stays ours then.
        }
    }
}

FileReplacement::~FileReplacement()
{
    giveUp();
}

void FileReplacement::giveUp()
{
    if (fd_ < 0)
        return;
    fileCalls().close(std::exchange(fd_, -1));
    removeNewFile(temporary_);
    const QMutexLocker lock(&replacingLock);
    noteFolder(target_);
}

bool FileReplacement::write(QByteArrayView bytes)
{
    if (fd_ >= 0 && !writeAll(fd_, bytes))
        giveUp();
    return fd_ >= 0;
}

bool FileReplacement::commit()
{
    if (fd_ < 0)
        return false;
    FileCalls& calls = fileCalls();
    struct stat written {};
    if (uninterrupted([&] { return calls.fdatasync(fd_); }) != 0 || ::fstat(fd_, &written) != 0) {
        giveUp();
        return false;
    }
    // A close interrupted by a signal is never made again: Linux has released the descriptor
    // already, and closing it again could close one another thread has just opened. Nothing is
    // lost by the interruption: the data is on the disk since the sync above.
    const int fd = std::exchange(fd_, -1);
    const bool closed = calls.close(fd) == 0 || errno == EINTR;
    if (!closed || !renameOver(temporary_, target_, written)) {
        removeNewFile(temporary_);
        const QMutexLocker lock(&replacingLock);
        noteFolder(target_);
        return false;
    }
    syncFolder(folderOf(target_));
    const QMutexLocker lock(&replacingLock);
    replacing.remove(temporary_);
    noteFolder(target_);
    return true;
}

bool replaceFile(const QString& path, QByteArrayView bytes)
{
    FileReplacement replacement(path);
    return replacement.write(bytes) && replacement.commit();
}

QString workingFolder()
{
    return QDir::currentPath();
}

QString tempFolder()
{
    QString path = QDir::tempPath();
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

QString joinPath(const QString& folder, const QString& name)
{
    if (folder.endsWith(u'/'))
        return folder + name;
    return folder + u'/' + name;
}

QString folderName(const QString& folder)
{
    return folder.mid(folder.lastIndexOf(u'/') + 1);
}

QString shortDate(const QDateTime& time)
{
    return shortDate(time.timeSpec() == Qt::LocalTime ? time.date() : time.toLocalTime().date());
}

QString shortDate(QDate date)
{
    // Put together by hand: this runs once per photo when a folder is opened.
    return QString::number(date.day()) + u'.' + QString::number(date.month()) + u'.' + QString::number(date.year());
}

}  // namespace platform
