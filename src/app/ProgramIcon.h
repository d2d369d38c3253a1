#pragma once

#include <QIcon>
#include <QImage>
#include <QList>

// The program's icon: the pictures in the program's resource (:/icons/albisko-<size>.png) in
// all six sizes, from 16 to 256 pixels, which the desktop gets with every window.

// The six pictures decoded, smallest first. Touches no pixmap, so it may run on any thread.
QList<QImage> readProgramIcon();

// The icon made of them, as QIcon::addFile makes it of the files. On the GUI thread.
QIcon programIcon(const QList<QImage>& pictures);
