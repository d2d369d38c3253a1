#pragma once

#include <QString>

class QTextEdit;

namespace ui {

// Assembles the head of the album's web page in `page` (the main window's RichEdit1), in this
// order: clears `page`; loads the lines of html/head1.tpl under `programDir` into it; appends one
// line of four blanks followed by `albumName`; loads the lines of html/head2.tpl into `second`
// (RichEdit2); appends those lines to `page`. Templates are plain text (UTF-8), shown as plain
// text, never as rich text. A template that cannot be read raises platform::Error
// "Cannot open file <its path>", which ends the assembly there: a missing head2.tpl leaves
// `page` holding head1.tpl's lines and the name line.
void assembleHtmlHead(const QString& programDir, const QString& albumName, QTextEdit& page, QTextEdit& second);

}  // namespace ui
