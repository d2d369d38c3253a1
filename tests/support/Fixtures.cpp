#include "support/Fixtures.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QStringEncoder>
#include <QWidget>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/mount.h>

TempFolder::TempFolder()
{
    EXPECT_TRUE(dir_.isValid());
}

QString TempFolder::file(const QString& name) const
{
    return dir_.filePath(name);
}

QString TempFolder::makeFolder(const QString& name) const
{
    EXPECT_TRUE(QDir(dir_.path()).mkpath(name));
    return dir_.filePath(name);
}

void writeJpeg(const QString& path, int width, int height, Qt::GlobalColor color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, Qt::yellow);  // something to see when it is turned
    painter.end();
    ASSERT_TRUE(image.save(path, "JPEG", 80)) << path.toStdString();
}

QByteArray solidJpeg(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, "JPEG", 90));
    return bytes;
}

bool nearColour(QColor a, QColor b, int tolerance)
{
    return std::abs(a.red() - b.red()) < tolerance && std::abs(a.green() - b.green()) < tolerance
        && std::abs(a.blue() - b.blue()) < tolerance;
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QByteArray cp1250(const QString& text)
{
    QStringEncoder encoder("windows-1250");
    QByteArray bytes = encoder.encode(text);
    EXPECT_FALSE(encoder.hasError()) << text.toStdString();
    return bytes;
}

void setModificationTime(const QString& path, const QDateTime& time)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite)) << path.toStdString();
    ASSERT_TRUE(file.setFileTime(time, QFileDevice::FileModificationTime)) << path.toStdString();
}

void fillDisk(const QString& folder)
{
    QFile filler(folder + QStringLiteral("/filler"));
    ASSERT_TRUE(filler.open(QIODevice::WriteOnly));
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size() && filler.flush()) {
    }
}

void typeText(QWidget* widget, const QString& text)
{
    for (QChar c : text) {
        // A line break is the Enter key, as a user types it.
        const int key = c == u'\n' ? int(Qt::Key_Return) : 0;
        const QString keyText = c == u'\n' ? QStringLiteral("\r") : QString(c);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, keyText);
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, keyText);
        QApplication::sendEvent(widget, &release);
    }
}

Watchdog::Watchdog(int seconds, std::string what)
{
    thread_ = std::thread([this, seconds, what = std::move(what)] {
        std::unique_lock lock(mutex_);
        if (!left_.wait_for(lock, std::chrono::seconds(seconds), [this] { return done_; })) {
            std::fprintf(stderr, "watchdog: %s did not end within %d s\n", what.c_str(), seconds);
            std::_Exit(1);
        }
    });
}

Watchdog::~Watchdog()
{
    {
        const std::lock_guard lock(mutex_);
        done_ = true;
    }
    left_.notify_one();
    thread_.join();
}

namespace {

// A "Vm...:" figure of /proc/self/status in bytes, or -1.
qint64 memoryFigure(const char* name)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(name))
            return line.mid(qsizetype(std::strlen(name))).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return -1;
}

}  // namespace

qint64 peakMemoryRise(const std::function<void()>& action)
{
    // Writing 5 to clear_refs starts the peak anew from the memory in use now.
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    const bool reset = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1 && clear.flush();
    const qint64 before = memoryFigure("VmRSS:");
    action();
    const qint64 peak = memoryFigure("VmHWM:");
    return reset && before >= 0 && peak >= 0 ? std::max<qint64>(0, peak - before) : -1;
}

Tmpfs::Tmpfs(const QString& folder, unsigned long flags, const QByteArray& size)
    : folder_(folder.toLocal8Bit()), size_("size=" + size)
{
    mounted_ = ::mount("tmpfs", folder_.constData(), "tmpfs", flags, size_.constData()) == 0;
    if (!mounted_)
        error_ = std::strerror(errno);
}

Tmpfs::~Tmpfs()
{
    if (mounted_ && ::umount(folder_.constData()) != 0)
        ::umount2(folder_.constData(), MNT_DETACH);
}

bool Tmpfs::remountReadOnly()
{
    return ::mount("tmpfs", folder_.constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, size_.constData()) == 0;
}

bool Tmpfs::remountWritable()
{
    return ::mount("tmpfs", folder_.constData(), "tmpfs", MS_REMOUNT, size_.constData()) == 0;
}
