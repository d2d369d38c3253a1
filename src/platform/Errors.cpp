#include "platform/Errors.h"

#include <limits>

namespace platform {

QString messageOf(const std::exception& e)
{
    if (auto* own = dynamic_cast<const Error*>(&e))
        return own->message();
    return QString::fromLocal8Bit(e.what());
}

bool tryStrToInt(const QString& text, int& value)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == n)
        return false;
    qint64 magnitude = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        magnitude = magnitude * 10 + (c - u'0');
        if (magnitude > qint64(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    const qint64 signedValue = negative ? -magnitude : magnitude;
    if (signedValue > std::numeric_limits<int>::max())
        return false;
    value = int(signedValue);
    return true;
}

int strToInt(const QString& text)
{
    int value = 0;
    if (!tryStrToInt(text, value))
        throw ConversionError(text);
    return value;
}

}  // namespace platform
