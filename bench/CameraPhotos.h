#pragma once

// What the picture benchmarks share: a camera photo of 24 megapixels as cameras write it (with
// its EXIF thumbnail), albums of it, the median, and the program's resident memory.
#include <QByteArray>
#include <QString>
#include <vector>

class QTemporaryDir;

// 6000 x 4000, JPEG quality 90 (about 5.5 MB), with a 160 x 107 EXIF thumbnail.
QByteArray cameraPhoto();
// The same photo without its EXIF segment (no thumbnail).
QByteArray cameraPhotoWithoutThumbnail();
// A folder "album" under `root` with `count` photos p000.jpg, p001.jpg ... each a copy of `photo`
// (hard links where `linked`: many photos at the cost of one, each its own file name).
QString makeCameraAlbum(const QTemporaryDir& root, int count, const QByteArray& photo, bool linked = false);
// The path of photo `i` of such an album.
QString cameraPhotoPath(const QString& folder, int i);
double median(std::vector<double> values);
double residentMb();
