// Whether the program runs installed, and the user's folders it then uses, from real folders.
#include "platform/ProgramFolders.h"
#include "support/Fixtures.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace platform;

namespace {

QProcessEnvironment environment(const QList<QPair<QString, QString>>& values)
{
    QProcessEnvironment env;
    for (const auto& [name, value] : values)
        env.insert(name, value);
    return env;
}

}  // namespace

TEST(InstalledFolders, OnlyAProgramBesideItsDataFolderAndOutsideABuildTreeIsInstalled)
{
    TempFolder root;
    const QString home = root.makeFolder(QStringLiteral("home"));
    for (const char* folder : {"usr/bin", "usr/share/albisko", "bare/bin", "build/src/app", "build/src/share/albisko"})
        ASSERT_TRUE(QDir(root.path()).mkpath(QString::fromLatin1(folder)));
    writeBytes(root.file(QStringLiteral("build/CMakeCache.txt")), "");
    struct Case {
        const char* what;
        QString executable;
        QString configHome;  // XDG_CONFIG_HOME
        std::optional<QString> work, data;
    };
    const Case cases[] = {
        {"installed, settings in XDG_CONFIG_HOME", root.file(QStringLiteral("usr/bin/albisko")),
         root.file(QStringLiteral("config")), root.file(QStringLiteral("config/albisko")),
         root.file(QStringLiteral("usr/share/albisko"))},
        {"installed, a relative XDG_CONFIG_HOME is ignored", root.file(QStringLiteral("usr/bin/albisko")),
         QStringLiteral("config"), home + QStringLiteral("/.config/albisko"), root.file(QStringLiteral("usr/share/albisko"))},
        {"no data folder beside it", root.file(QStringLiteral("bare/bin/albisko")), QString(), std::nullopt, std::nullopt},
        {"in a build tree, even with a data folder beside it", root.file(QStringLiteral("build/src/app/albisko")),
         QString(), std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto folders = installedFolders(
            c.executable, environment({{QStringLiteral("HOME"), home}, {QStringLiteral("XDG_CONFIG_HOME"), c.configHome}}));
        ASSERT_EQ(folders.has_value(), c.work.has_value());
        if (folders) {
            EXPECT_EQ(folders->work, *c.work);
            EXPECT_EQ(folders->data, *c.data);
            EXPECT_EQ(folders->pictures, home);
        }
    }
}

TEST(InstalledFolders, PicturesComeFromTheEnvironmentThenUserDirsThenHome)
{
    TempFolder root;
    const QString home = root.makeFolder(QStringLiteral("home"));
    const QString fotky = root.makeFolder(QStringLiteral("home/Obrázky"));
    const QString jinde = root.makeFolder(QStringLiteral("jinde"));
    const QString config = root.makeFolder(QStringLiteral("config"));
    const QString gone = root.file(QStringLiteral("pryč"));
    struct Case {
        const char* what;
        QString variable;  // XDG_PICTURES_DIR
        QByteArray userDirs;
        QString configHome;  // where user-dirs.dirs lies: XDG_CONFIG_HOME, else ~/.config
        QString expected;
    };
    const QByteArray ownDirs = "# xdg-user-dirs\nXDG_DESKTOP_DIR=\"$HOME/Plocha\"\nXDG_PICTURES_DIR=\"$HOME/Obrázky\"\n";
    const Case cases[] = {
        {"the environment first", jinde, ownDirs, QString(), jinde},
        {"an environment folder that is gone: user-dirs.dirs", gone, ownDirs, QString(), fotky},
        {"user-dirs.dirs in XDG_CONFIG_HOME, an absolute path, the last line counts", QString(),
         "XDG_PICTURES_DIR=\"$HOME/Obrázky\"\n  XDG_PICTURES_DIR=\"" + jinde.toUtf8() + "\"  \n", config, jinde},
        {"a folder user-dirs.dirs names that is gone: home", QString(), "XDG_PICTURES_DIR=\"$HOME/Fotky\"\n", QString(), home},
        {"a folder named by a relative path: home", QString(), "XDG_PICTURES_DIR=\"Obrázky\"\n", QString(), home},
        {"nothing names one: home", QString(), QByteArray(), QString(), home},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(home).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(fotky));
        QFile::remove(config + QStringLiteral("/user-dirs.dirs"));
        const QString configHome = c.configHome.isEmpty() ? home + QStringLiteral("/.config") : c.configHome;
        if (!c.userDirs.isEmpty()) {
            ASSERT_TRUE(QDir().mkpath(configHome));
            writeBytes(configHome + QStringLiteral("/user-dirs.dirs"), c.userDirs);
        }
        EXPECT_EQ(picturesFolder(environment({{QStringLiteral("HOME"), home},
                                              {QStringLiteral("XDG_CONFIG_HOME"), c.configHome},
                                              {QStringLiteral("XDG_PICTURES_DIR"), c.variable}})),
                  c.expected);
    }
}
