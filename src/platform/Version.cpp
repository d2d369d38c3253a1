#include "platform/Version.h"

#include <QString>
#include <QStringList>

namespace platform {

bool parseVersion(const char* text, quint16& major, quint16& minor, quint16& release, quint16& build)
{
    if (!text)
        return false;
    const QStringList parts = QString::fromLatin1(text).split(u'.');
    if (parts.size() != 4)
        return false;
    quint16 numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const uint n = parts[i].toUInt(&ok);
        if (!ok || n > 0xFFFF)
            return false;
        numbers[i] = quint16(n);
    }
    major = numbers[0];
    minor = numbers[1];
    release = numbers[2];
    build = numbers[3];
    return true;
}

bool ReadVersion(quint16& major, quint16& minor, quint16& release, quint16& build)
{
#ifdef ALBISKO_VERSION
    return parseVersion(ALBISKO_VERSION, major, minor, release, build);
#else
    return parseVersion(nullptr, major, minor, release, build);
#endif
}

}  // namespace platform
