#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <optional>

namespace album {

// The date a photo was taken, as its EXIF header says: DateTimeOriginal (in the EXIF directory),
// else DateTime (in the first directory). None when the file is no JPEG, has no EXIF header, or
// the date is empty, zero ("0000:00:00 00:00:00"), out of range or anything but
// "YYYY:MM:DD HH:MM:SS". Only the JPEG's header segments are read, never its picture; only a
// regular file is opened.
std::optional<QDate> exifDate(const QString& path);

// The same from the bytes of an APP1 segment (what follows its length field, "Exif\0\0" first).
// Every offset is checked against the segment: any bytes at all give a date or none.
std::optional<QDate> exifDateOfSegment(QByteArrayView app1);

}  // namespace album
