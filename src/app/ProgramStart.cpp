#include "app/ProgramStart.h"

#include "platform/ProgramFolders.h"
#include "platform/Version.h"

#include <QCoreApplication>
#include <QProcessEnvironment>
#include <cstdio>

namespace {

const char kUsage[] =
    "Použití: albisko [SLOŽKA | FOTKA.jpg]\n"
    "Albisko – popisky k fotkám webového fotoalba (soubor info.txt vedle fotek).\n"
    "\n"
    "  SLOŽKA       otevře album v této složce\n"
    "  FOTKA.jpg    otevře složku, ve které fotka leží, a ukáže tuto fotku\n"
    "  -h, --help   vypíše tento návod a skončí\n"
    "  --version    vypíše verzi programu a skončí\n";

}  // namespace

std::optional<int> answerCommandLine(int argc, char** argv, QString& path)
{
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (argument == QLatin1String("--version")) {
            quint16 major = 0, minor = 0, release = 0, build = 0;
            platform::ReadVersion(major, minor, release, build);
            std::printf("Albisko %u.%u.%u.%u\n", unsigned(major), unsigned(minor), unsigned(release), unsigned(build));
            return 0;
        }
        if (argument.size() > 1 && argument.startsWith(u'-')) {
            std::fprintf(stderr, "albisko: neznámá volba %s\n\n%s", argv[i], kUsage);
            return 2;
        }
        if (path.isEmpty())
            path = argument;
    }
    return std::nullopt;
}

void settleProgramFolders()
{
    platform::useInstalledFolders(platform::installedFolders(QCoreApplication::applicationFilePath(),
                                                             QProcessEnvironment::systemEnvironment()));
}
