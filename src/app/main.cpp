// Albisko: captions for a folder of photos published as a web album.

#include "app/FirstPaint.h"
#include "app/ProgramIcon.h"
#include "app/ProgramStart.h"
#include "app/Translation.h"
#include "album/Album.h"
#include "app/Windows.h"
#include "platform/QtDialogs.h"
#include "ui/commands/EditCommands.h"
#include "ui/commands/OpenFromOutside.h"
#include "spelling/SpellChecker.h"
#include "ui/main/TForm1.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFuture>
#include <QIcon>
#include <QLocale>
#include <QLoggingCategory>
#include <QTimer>
#include <QtConcurrent>
#include <cstdio>

namespace {

// Qt aborts when it finds no display; say plainly what is missing instead.
bool displayAvailable()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// One line on the terminal, in Czech as the program speaks, then in English.
void sayThereIsNoDisplay()
{
    std::fputs("albisko: chybí grafický displej (nastavte DISPLAY, nebo QT_QPA_PLATFORM=offscreen pro běh bez něj)"
               " / no display: Albisko needs a graphical display "
               "(set DISPLAY, or QT_QPA_PLATFORM=offscreen to run without one)\n", stderr);
}

}  // namespace

int main(int argc, char** argv)  // PAlbisko
{
    QString path;  // the folder or photo the command line names
    if (const std::optional<int> answered = answerCommandLine(argc, argv, path))
        return *answered;
    if (!displayAvailable()) {
        sayThereIsNoDisplay();
        return 1;
    }
    const CzechSystemLocale czechFormats;  // Qt's pickers format sizes and dates in Czech too
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Albisko"));
    settleProgramFolders();
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::Czechia));
    installQtCzech(app);
    // Damaged photos are reported by the preview itself; Qt's header reader need not log them.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio.jpeg.warning=false"));
    // The first picture needs three things that do not depend on each other and take a few
    // milliseconds each: Qt's font database (fontconfig reads its configuration and lists the
    // fonts), the icon theme's index, which the tool bar's icons are looked up in, and the
    // program's icon in all six sizes, which the desktop gets with the main window. The font
    // database and the icon's pictures may be made on any thread: a worker makes them while this
    // thread reads the icon theme, which only the GUI thread may. The locale and the translators
    // are settled above, before any other thread runs.
    QFuture<QList<QImage>> iconPictures = QtConcurrent::run([] {
        QFontDatabase::families();
        return readProgramIcon();
    });
    QIcon::hasThemeIcon(QStringLiteral("document-open"));  // one of the tool bar's

    platform::QtDialogs dialogs;
    platform::installDialogs(&dialogs);

    Windows windows;
    dialogs.setOwner(windows.form1.get());
    QApplication::setWindowIcon(programIcon(iconPictures.result()));
    windows.form1->show();
    // The dictionary is read on a worker thread for a second or more; started only once the
    // window is on the screen, it does not take a processor from the first picture. The spelling
    // menu item stays disabled until the dictionary is read, as before.
    afterFirstPaint(*windows.form1, [&windows] {
        windows.form1->editCommands().startSpellingInBackground(SpellChecker::systemDictionaryFolder());
    });
    // `albisko FOLDER` (or PHOTO.jpg) opens it once the window is up.
    if (!path.isEmpty())
        QTimer::singleShot(0, windows.form1.get(), [&windows, path] { openFromCommandLine(*windows.album, path); });
    const int result = app.exec();
    platform::installDialogs(nullptr);
    return result;
}
