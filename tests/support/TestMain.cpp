// One main for every test program: a QApplication on the offscreen platform, a fixed locale,
// then GoogleTest.
#include <QApplication>
#include <QLocale>
#include <QLoggingCategory>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::Czechia));
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.jpeg.warning=false"));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Albisko"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
