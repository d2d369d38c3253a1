#pragma once

#include <QIcon>
#include <QString>

// The icon the desktop's icon theme has under `themeName` (a freedesktop.org name such as
// "document-save-as"); where the theme has none, the program's own drawing of it for
// "document-save-as" and "preferences-system", else `fallback`.
QIcon toolIcon(const QString& themeName, const QIcon& fallback = QIcon());

// The program's own drawing for `themeName` at the usual sizes; a null icon for other names.
QIcon drawnToolIcon(const QString& themeName);
