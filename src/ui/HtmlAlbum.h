#pragma once

#include <QString>

class QTextEdit;

namespace ui {

// Assembles the head of the album's web page in `page`: the lines of html/head1.tpl under
// `programDir`, one line of four blanks and the album name, then the lines of html/head2.tpl,
// which are first loaded into `second`. A template that cannot be read raises
// "Cannot open file %s" (its path) and ends the assembly there.
void assembleHtmlHead(const QString& programDir, const QString& albumName, QTextEdit& page, QTextEdit& second);

}  // namespace ui
