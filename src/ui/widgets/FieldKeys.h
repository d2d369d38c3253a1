#pragma once

class QWidget;

// Keeps the text, memo and spin fields inside `window` from taking keys that are not theirs:
// - a shortcut of one of the window's commands acts as the command, also while a field has the
//   keyboard (Ctrl+A is "Nastavení", not the field's select-all, which stays in the field's
//   context menu);
// - an Alt+letter that no control or menu item takes (it is disabled, or there is none) only
//   beeps; it never types the letter.
// Fields and commands made after the call (none are) are not covered.
void guardFieldKeys(QWidget* window);
