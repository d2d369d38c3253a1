#pragma once

#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QString>
#include <QTemporaryDir>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

class QWidget;

// A fresh folder for one test, removed afterwards.
class TempFolder {
public:
    TempFolder();
    QString path() const { return dir_.path(); }
    // path() + "/" + name
    QString file(const QString& name) const;
    // Creates a sub-folder and returns its path.
    QString makeFolder(const QString& name) const;

private:
    QTemporaryDir dir_;
};

// A JPEG of the given size, written with Qt's own writer (the program decodes with libjpeg).
void writeJpeg(const QString& path, int width, int height, Qt::GlobalColor color = Qt::darkGreen);
void writeBytes(const QString& path, const QByteArray& bytes);
// The bytes of a JPEG of one colour (Qt's writer, quality 90), to tell photos apart by colour.
QByteArray solidJpeg(int width, int height, QColor colour);
// True when each of the two colours' components differ by less than `tolerance`.
bool nearColour(QColor a, QColor b, int tolerance = 40);
QByteArray readBytes(const QString& path);
// Text as the caption file holds it: Windows-1250 bytes.
QByteArray cp1250(const QString& text);
void setModificationTime(const QString& path, const QDateTime& time);
// Fills the medium `folder` is on with a file "filler" there, until nothing more fits.
void fillDisk(const QString& folder);

// Types text into `widget`, one key event per character, so that characters outside Latin-1
// (ě, š, č, ř, ž, ů) arrive as a user's typing brings them.
void typeText(QWidget* widget, const QString& text);

// Ends the test program with a message when the scope it guards is not left within `seconds`:
// a test of something that could hang fails instead of hanging.
class Watchdog {
public:
    Watchdog(int seconds, std::string what);
    ~Watchdog();

private:
    std::mutex mutex_;
    std::condition_variable left_;
    bool done_ = false;
    std::thread thread_;
};

// How far the process's resident memory rose above where it stood while `action` ran, in bytes;
// -1 where the system cannot tell.
qint64 peakMemoryRise(const std::function<void()>& action);

// A small tmpfs mounted over a folder for one test (a medium the test controls: read-only, or
// full); unmounted when the test ends. Tests run as root, where permission bits prove nothing.
class Tmpfs {
public:
    Tmpfs(const QString& folder, unsigned long flags, const QByteArray& size = "64k");
    ~Tmpfs();
    bool mounted() const { return mounted_; }
    std::string error() const { return error_; }
    bool remountReadOnly();
    bool remountWritable();

private:
    QByteArray folder_;
    QByteArray size_;
    bool mounted_ = false;
    std::string error_;
};
