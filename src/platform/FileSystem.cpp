#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRandomGenerator>
#include <QSet>

#include <algorithm>
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

QList<FolderEntry> listFolder(const QString& folder, const QString& extension)
{
    struct Sortable {
        QString upper;
        FolderEntry entry;
    };
    std::vector<Sortable> found;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return {};
    const int fd = ::dirfd(dir);
    const QByteArray wanted = extension.toLatin1();
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
        const QString decoded = QFile::decodeName(QByteArray(name, qsizetype(length)));
        found.push_back({decoded.toUpper(), {decoded, localDate(st.st_mtim.tv_sec)}});
    }
    ::closedir(dir);
    // Sorted by the upper-case names, code unit by code unit (a.jpg and A.JPG in a fixed order
    // all the same); the entries themselves stay where they are while the order is found.
    std::vector<const Sortable*> order;
    order.reserve(found.size());
    for (const Sortable& s : found)
        order.push_back(&s);
    std::sort(order.begin(), order.end(), [](const Sortable* a, const Sortable* b) {
        const int byUpper = QtPrivate::compareStrings(a->upper, b->upper, Qt::CaseSensitive);
        return byUpper != 0 ? byUpper < 0 : a->entry.name < b->entry.name;
    });
    QList<FolderEntry> entries;
    entries.reserve(qsizetype(order.size()));
    for (const Sortable* s : order)
        entries.append(s->entry);
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

// Writes all of `bytes`, through short writes and interruptions.
bool writeAll(int fd, QByteArrayView bytes)
{
    const char* data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// A new, empty file "<path>.XXXXXX" that did not exist before, open for writing; -1 when none can be made.
int createBeside(const QByteArray& path, QByteArray& created)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        // The first character is never a small letter, so that no suffix of ours is a word in
        // small letters, which isReplaceLeftover leaves alone.
        created = path + '.';
        created += kSuffixCharacters[QRandomGenerator::global()->bounded(26)];
        for (int i = 1; i < kSuffixLength; ++i)
            created += kSuffixCharacters[QRandomGenerator::global()->bounded(int(sizeof kSuffixCharacters) - 1)];
        const int fd = ::open(created.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

void syncFolder(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    // Some file systems cannot sync a folder; the rename has happened all the same.
    ::fsync(fd);
    ::close(fd);
}

// Removes, once per path in a run, the temporary files an earlier run left beside it.
void removeLeftoversOnce(const QString& path)
{
    static QMutex mutex;
    static QSet<QString> done;
    {
        const QMutexLocker lock(&mutex);
        if (done.contains(path))
            return;
        done.insert(path);
    }
    // Read straight from the folder, name by name: the folder may hold 50,000 photos.
    const QFileInfo target(path);
    const QString name = target.fileName();
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    DIR* dir = ::opendir(folder.constData());
    if (!dir)
        return;
    const int fd = ::dirfd(dir);
    const QByteArray prefix = QFile::encodeName(name) + '.';
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strncmp(entry->d_name, prefix.constData(), size_t(prefix.size())) != 0)
            continue;
        struct stat st {};
        if (isReplaceLeftover(QFile::decodeName(entry->d_name), name)
            && ::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            ::unlinkat(fd, entry->d_name, 0);
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

FileReplacement::FileReplacement(const QString& path)
{
    // A link to the file: the file it leads to is replaced, and the link stays.
    const QFileInfo info(path);
    const QString target = info.isSymLink() && info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    removeLeftoversOnce(target);
    target_ = QFile::encodeName(target);
    fd_ = createBeside(target_, temporary_);
    if (fd_ < 0)
        return;
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
    ::close(fd_);
    ::unlink(temporary_.constData());
    fd_ = -1;
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
    if (::fdatasync(fd_) != 0) {
        giveUp();
        return false;
    }
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0 || ::rename(temporary_.constData(), target_.constData()) != 0) {
        ::unlink(temporary_.constData());
        return false;
    }
    const qsizetype slash = target_.lastIndexOf('/');  // the path is absolute
    syncFolder(slash > 0 ? target_.left(slash) : QByteArray("/"));
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
