#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <optional>

// Where the program keeps its files and finds its help and HTML templates.
//
// A program run from its build tree (scripts/run.sh starts it in build/workdir), and every test,
// works in the folder it was started in: its settings, its personal word list, its help and its
// templates are all there. An installed program works in the user's folder for it,
// $XDG_CONFIG_HOME/albisko (~/.config/albisko), however it was started, from a terminal in any
// folder or from the desktop menu; it reads the help and the templates from where they were
// installed, share/albisko under the install prefix, and its first Open starts in the user's
// pictures folder.
namespace platform {

struct InstalledFolders {
    QString work;      // the user's folder for the program: settings, personal word list
    QString data;      // <prefix>/share/albisko: the help, the HTML templates
    QString pictures;  // where the first Open starts
};

// The folders of the program file at `executable` (its real path, links resolved) when it is an
// installed program: one whose data folder, ../share/albisko from its own folder, exists, and
// which does not lie in a build tree (no folder from its own up to the root holds a
// CMakeCache.txt). Nothing for any other program.
std::optional<InstalledFolders> installedFolders(const QString& executable, const QProcessEnvironment& environment);

// The user's pictures folder: XDG_PICTURES_DIR from the environment, else the one the user's
// user-dirs.dirs (in $XDG_CONFIG_HOME, ~/.config) names, where that is an existing folder; else
// the home folder.
QString picturesFolder(const QProcessEnvironment& environment);

// Set once at start by the program (never by tests): the installed program's folders, or
// nothing. The work folder is made when it is missing.
void useInstalledFolders(const std::optional<InstalledFolders>& folders);

// The folder the program works in (its ProgramDir): the installed work folder, else the current
// working folder.
QString programFolder();
// Where the first Open starts, and where a remembered default folder that is gone falls back
// to: the pictures folder of an installed program, else `programDir`.
QString startFolder(const QString& programDir);
// The folder whose html/ holds the templates: `programDir` when it has an html/ folder of the
// user's own (or when the program is not installed), else the installed data folder.
QString templateFolder(const QString& programDir);
// The help file for the desktop to open: the installed one by its full path, else "albisko.html"
// in the working folder.
QString helpFile();

}  // namespace platform
