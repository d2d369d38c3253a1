#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QTemporaryDir>

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
QByteArray readBytes(const QString& path);
void setModificationTime(const QString& path, const QDateTime& time);

// Types text into `widget`, one key event per character, so that characters outside Latin-1
// (ě, š, č, ř, ž, ů) arrive as a user's typing brings them.
void typeText(QWidget* widget, const QString& text);
