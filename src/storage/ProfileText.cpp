#include "storage/ProfileText.h"

#include "platform/FileSystem.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <unistd.h>

namespace storage {

Cp1250Table::Cp1250Table() : fromText_(0x10000, 0), writable_(0x10000, false)
{
    QStringDecoder decoder("windows-1250", QStringConverter::Flag::Stateless);
    for (int b = 255; b >= 0; --b) {  // where two bytes give one character, the lower writes it
        const char byte = char(b);
        const QString one = decoder.decode(QByteArrayView(&byte, 1));
        toText_[size_t(b)] = one.size() == 1 ? one[0].unicode() : char16_t(0xFFFD);
        if (one.size() == 1 && one[0].unicode() != 0xFFFD) {
            fromText_[one[0].unicode()] = uchar(b);
            writable_[one[0].unicode()] = true;
        }
    }
}

const Cp1250Table& cp1250()
{
    static const Cp1250Table table;
    return table;
}

namespace {

constexpr auto ConverterFlags = QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom;

}  // namespace

QStringEncoder makeEncoder(Encoding encoding)
{
    return encoding == Encoding::Windows1250 ? QStringEncoder("windows-1250", ConverterFlags)
                                             : QStringEncoder(QStringConverter::Utf8, ConverterFlags);
}

QStringDecoder makeDecoder(Encoding encoding)
{
    return encoding == Encoding::Windows1250 ? QStringDecoder("windows-1250", ConverterFlags)
                                             : QStringDecoder(QStringConverter::Utf8, ConverterFlags);
}

QString withCrLf(const QString& value)
{
    if (!value.contains(u'\n') && !value.contains(u'\r'))
        return value;
    QString text = value;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return text;
}

bool writableIfThere(const QString& path)
{
    const QFileInfo info(path);
    QFile file(path);
    return !info.exists() || (info.isFile() && file.open(QIODevice::WriteOnly | QIODevice::Append));
}

bool readableIfThere(const QString& path)
{
    if (!QFileInfo::exists(path))
        return true;
    const int fd = platform::openRegularFile(path);
    if (fd >= 0)
        ::close(fd);
    return fd >= 0;
}

bool folderTakesNewFile(const QString& path)
{
    QTemporaryFile probe(QFileInfo(path).absolutePath() + QStringLiteral("/.albisko-XXXXXX"));
    return probe.open();
}

}  // namespace storage
