// The yardstick for the program's start-up: about the least a Qt Widgets program with a menu bar
// does. A main window of the program's size with four menus of two items, shown once; it runs
// until it is ended. Built with the program's flags (bench/CMakeLists.txt).
#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    for (const char* title : {"&Soubor", "Ú&pravy", "&Konfigurace", "&Nápověda"}) {
        QMenu* menu = window.menuBar()->addMenu(QString::fromUtf8(title));
        menu->addAction(QStringLiteral("První"));
        menu->addAction(QStringLiteral("Druhá"));
    }
    window.resize(727, 569 + window.menuBar()->sizeHint().height());
    window.show();
    return app.exec();
}
