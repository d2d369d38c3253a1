// One main for every test program: a QApplication on the offscreen platform, a fixed locale,
// then GoogleTest.
#include <QApplication>
#include <QLocale>
#include <QTemporaryDir>
#include <QLoggingCategory>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Offscreen; a test program may be given a screen of its own (offscreen:configfile=...).
    if (!qgetenv("QT_QPA_PLATFORM").startsWith("offscreen"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Thumbnails go to a cache of this run, never the user's.
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::Czechia));
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.jpeg.warning=false"));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Albisko"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
