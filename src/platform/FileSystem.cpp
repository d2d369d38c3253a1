#include "platform/FileSystem.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace platform {

QList<FolderEntry> listFolder(const QString& folder, const QString& extension)
{
    struct Sortable {
        QString upper;
        FolderEntry entry;
    };
    std::vector<Sortable> found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString name = info.fileName();
        if (!name.endsWith(extension, Qt::CaseInsensitive))
            continue;
        found.push_back({name.toUpper(), {name, info.lastModified()}});
    }
    std::sort(found.begin(), found.end(), [](const Sortable& a, const Sortable& b) {
        if (a.upper != b.upper)
            return a.upper < b.upper;
        return a.entry.name < b.entry.name;  // a.jpg and A.JPG: a fixed order all the same
    });
    QList<FolderEntry> entries;
    entries.reserve(qsizetype(found.size()));
    for (auto& s : found)
        entries.append(std::move(s.entry));
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
    // Put together by hand: this runs once per photo when a folder is opened.
    const QDate date = time.timeSpec() == Qt::LocalTime ? time.date() : time.toLocalTime().date();
    return QString::number(date.day()) + u'.' + QString::number(date.month()) + u'.' + QString::number(date.year());
}

}  // namespace platform
