#pragma once

#include <QString>
#include <optional>

// What the program settles before its windows exist.

// The command line, read before anything else (no display is needed):
//   albisko [FOLDER | PHOTO.jpg]   the album to open once the window is up goes into `path`
//   albisko --help | -h            a short Czech usage on standard output; exit code 0
//   albisko --version              "Albisko <version>" on standard output; exit code 0
// Any other argument starting with "-" gets the usage on standard error and exit code 2.
// Returns the exit code when the command line has been answered, nothing when the program
// runs on. Nothing is written to any file.
std::optional<int> answerCommandLine(int argc, char** argv, QString& path);

// Decides, from the program file's real path and the environment, whether this is an installed
// program, and so which folders the program uses (platform/ProgramFolders). Needs the
// application object.
void settleProgramFolders();
