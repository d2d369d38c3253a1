#pragma once

#include <QString>
#include <stdexcept>

namespace platform {

// Every error the program raises carries its user-facing message; handlers show it in the
// application's error box.
class Error : public std::runtime_error {
public:
    explicit Error(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    // The whole message, also where it holds a NUL taken from a file (what() ends there).
    QString message() const { return message_; }

private:
    QString message_;
};

// A text that should have been a whole number.
class ConversionError : public Error {
public:
    explicit ConversionError(const QString& text)
        : Error(QStringLiteral("'%1' is not a valid integer value").arg(text)) {}
};

// The message an exception carries, as the user should read it.
QString messageOf(const std::exception& e);

// Text read as a decimal integer: leading blanks and one sign allowed, nothing after the digits,
// within the range of a 32-bit int. Anything else is a ConversionError.
int strToInt(const QString& text);
bool tryStrToInt(const QString& text, int& value);

}  // namespace platform
