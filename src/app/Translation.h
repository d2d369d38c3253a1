#pragma once

#include <memory>

class QCoreApplication;
class QSystemLocale;

// Qt's own texts in Czech: its folder picker and file dialog, the standard buttons of message
// boxes ("Ano", "Ne"), the fields' context menus. Loaded from the folder where Qt says its
// translations are (Debian's qt6-translations-l10n puts them there). The few texts of these that
// Qt's Czech catalogue lacks (the pickers' type of a folder, "Složka", among them) come from the
// program's own small table, installed after Qt's catalogue and in force even without it. The
// program's own texts are not touched. False when Qt's translation is not installed; Qt's texts
// stay English then, but for those of the table.
bool installQtCzech(QCoreApplication& app);

// While it lives, QLocale::system() is Czech whatever the system's locale (LANG, LC_ALL): Qt
// formats some texts, such as the sizes ("408 bajty") and dates ("09.12.04 18:05") in its file
// pickers, with the system's locale, which QLocale::setDefault does not change. Only Qt's view
// of the system changes; the C library's locale stays as the environment set it. Created before
// the QApplication, in the thread that runs it, and the only such override the program makes
// (Qt 6.4 keeps the first one made, later Qt versions the latest).
class CzechSystemLocale {
public:
    CzechSystemLocale();
    ~CzechSystemLocale();
    CzechSystemLocale(const CzechSystemLocale&) = delete;
    CzechSystemLocale& operator=(const CzechSystemLocale&) = delete;

private:
    std::unique_ptr<QSystemLocale> locale_;
};
