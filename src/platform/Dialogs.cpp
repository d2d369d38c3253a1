#include "platform/Dialogs.h"

#include "platform/Errors.h"

#include <QtGlobal>

namespace platform {

namespace {
Dialogs* installed = nullptr;
}

Dialogs& dialogs()
{
    Q_ASSERT_X(installed, "platform::dialogs", "no dialogs installed");
    return *installed;
}

void installDialogs(Dialogs* dialogs)
{
    installed = dialogs;
}

QString errorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + u'.';
    return message;
}

void reportError(const std::exception& error)
{
    dialogs().showAppError(errorBoxText(messageOf(error)));
}

void reportError(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        reportError(e);
    }
}

}  // namespace platform
