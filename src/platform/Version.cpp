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
        // Decimal digits only: no blanks, signs or other forms a lenient number reader admits.
        const QString& part = parts[i];
        if (part.isEmpty() || part.size() > 5)
            return false;
        uint n = 0;
        for (const QChar c : part) {
            if (c < u'0' || c > u'9')
                return false;
            n = n * 10 + uint(c.unicode() - u'0');
        }
        if (n > 0xFFFF)
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
