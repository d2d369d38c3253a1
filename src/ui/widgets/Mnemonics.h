#pragma once

class QWidget;

// Makes the Alt+letter mnemonic of every button inside `window` act at once, as a click does.
// Qt's own shows the button pressed for 100 ms before it acts (animateClick), and a press of the
// same key in that time is lost: someone moving through photos with Alt+D would lose every other
// step. The button still takes the keyboard focus first, as with Qt's own.
void makeMnemonicsImmediate(QWidget* window);
