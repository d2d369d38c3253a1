#pragma once

class QCoreApplication;

// Qt's own texts in Czech: its folder picker and file dialog, the standard buttons of message
// boxes ("Ano", "Ne"), the fields' context menus. Loaded from the folder where Qt says its
// translations are (Debian's qt6-translations-l10n puts them there). The program's own texts
// are not touched. False when the translation is not installed; Qt's texts stay English then.
bool installQtCzech(QCoreApplication& app);
