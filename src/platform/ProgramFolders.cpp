#include "platform/ProgramFolders.h"

#include "platform/FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace platform {

namespace {

const QString kProgram = QStringLiteral("albisko");
const QString kHelp = QStringLiteral("albisko.html");

std::optional<InstalledFolders>& installed()
{
    static std::optional<InstalledFolders> folders;
    return folders;
}

QString homeFolder(const QProcessEnvironment& environment)
{
    const QString home = environment.value(QStringLiteral("HOME"));
    return QDir::isAbsolutePath(home) ? QDir::cleanPath(home) : QDir::homePath();
}

// $XDG_CONFIG_HOME; a value that is no absolute path is ignored, as the XDG rules say.
QString configHome(const QProcessEnvironment& environment)
{
    const QString config = environment.value(QStringLiteral("XDG_CONFIG_HOME"));
    return QDir::isAbsolutePath(config) ? QDir::cleanPath(config) : homeFolder(environment) + QStringLiteral("/.config");
}

// The pictures folder as user-dirs.dirs names it: a line XDG_PICTURES_DIR="$HOME/..." or
// XDG_PICTURES_DIR="/...". Empty when the file names none.
QString userDirsPictures(const QProcessEnvironment& environment)
{
    QFile file(configHome(environment) + QStringLiteral("/user-dirs.dirs"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString key = QStringLiteral("XDG_PICTURES_DIR=");
    QString folder;
    for (const QByteArray& bytes : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(bytes).trimmed();
        if (!line.startsWith(key))
            continue;
        QString value = line.mid(key.size());
        if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
            value = value.mid(1, value.size() - 2);
        if (value == QLatin1String("$HOME") || value.startsWith(QLatin1String("$HOME/")))
            value = homeFolder(environment) + value.mid(5);
        folder = value;  // the last line counts, as when the shell reads the file
    }
    return QDir::isAbsolutePath(folder) ? QDir::cleanPath(folder) : QString();
}

bool inBuildTree(QDir folder)
{
    do {
        if (QFileInfo::exists(folder.filePath(QStringLiteral("CMakeCache.txt"))))
            return true;
    } while (folder.cdUp());
    return false;
}

}  // namespace

QString picturesFolder(const QProcessEnvironment& environment)
{
    const QString fromEnvironment = environment.value(QStringLiteral("XDG_PICTURES_DIR"));
    if (QDir::isAbsolutePath(fromEnvironment) && folderExists(QDir::cleanPath(fromEnvironment)))
        return QDir::cleanPath(fromEnvironment);
    const QString fromFile = userDirsPictures(environment);
    if (!fromFile.isEmpty() && folderExists(fromFile))
        return fromFile;
    return homeFolder(environment);
}

std::optional<InstalledFolders> installedFolders(const QString& executable, const QProcessEnvironment& environment)
{
    const QDir bin = QFileInfo(executable).absoluteDir();
    const QString data = QDir::cleanPath(bin.absoluteFilePath(QStringLiteral("../share/") + kProgram));
    if (!folderExists(data) || inBuildTree(bin))
        return std::nullopt;
    return InstalledFolders{configHome(environment) + u'/' + kProgram, data, picturesFolder(environment)};
}

void useInstalledFolders(const std::optional<InstalledFolders>& folders)
{
    installed() = folders;
    if (folders)
        QDir().mkpath(folders->work);  // a folder that cannot be made loses the settings, silently
}

QString programFolder()
{
    return installed() ? installed()->work : workingFolder();
}

QString startFolder(const QString& programDir)
{
    return installed() ? installed()->pictures : programDir;
}

QString templateFolder(const QString& programDir)
{
    if (!installed() || folderExists(joinPath(programDir, QStringLiteral("html"))))
        return programDir;
    return installed()->data;
}

QString helpFile()
{
    return installed() ? joinPath(installed()->data, kHelp) : kHelp;
}

}  // namespace platform
