#pragma once

#include <QFont>

// The program's windows use a narrow sans-serif font at fixed pixel sizes, so that captions fit
// the controls' fixed sizes.
QFont programFont(int pixels, bool bold = false);
