#pragma once

#include <QString>
#include <exception>
#include <optional>

class QDialog;

namespace platform {

// What the Save As dialog is asked to show.
struct SaveRequest {
    QString initialFolder;
    QString initialName;        // empty, or the path chosen last time
    QString filterDescription;  // "Albisko Fotek"
    QString filterPattern;      // "txt"
    QString defaultSuffix;      // added to a name typed without an extension
};

// Every modal question, picker, message and beep of the program goes through here, so that
// tests can script the answers and nothing ever blocks.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Question box owned by the main window: question icon, Yes and No, Yes the default.
    // True when the user answers Yes.
    virtual bool askYesNo(const QString& caption, const QString& text) = 0;
    // The application's error box: captioned with the application title, stop icon, OK.
    // The text is shown as given (see errorBoxText).
    virtual void showAppError(const QString& text) = 0;
    // A warning owned by the main window: captioned with the application title, warning icon, OK.
    virtual void showWarning(const QString& text) = 0;
    // A notice owned by the main window: captioned with the application title, information icon, OK.
    virtual void showNotice(const QString& text) = 0;
    // A message dialog centred on the screen: stop icon, one OK button.
    virtual void showMessage(const QString& caption, const QString& text) = 0;
    // The folder picker, with `preselected` chosen when it is not empty. Empty when cancelled.
    virtual std::optional<QString> pickFolder(const QString& preselected) = 0;
    // The Save As dialog. The chosen path, or empty when cancelled.
    virtual std::optional<QString> pickSaveFile(const SaveRequest& request) = 0;
    // The platform's default beep.
    virtual void beep() = 0;
    // Shows one of the program's own dialog windows modally; returns its result code.
    virtual int showModal(QDialog& dialog) = 0;
    // Opens a file (a name relative to the working folder, or a path), a web address or a
    // "mailto:" address with the desktop's default handler. Nothing is reported when that fails.
    virtual void openWithDesktop(const QString& target) = 0;
};

// The dialogs in force. The program installs the real ones at start; tests install scripted ones.
Dialogs& dialogs();
void installDialogs(Dialogs* dialogs);

// The error box's text: the message with a period appended, unless its last character is
// one whose code is at most that of "." (such as ".", "!", ")" or a blank).
QString errorBoxText(const QString& message);

// Shows an error that ended a handler in the application's error box.
void reportError(const std::exception& error);
void reportError(std::exception_ptr error);

// `handler` wrapped for a Qt connection: an error it raises ends it there and is shown in the
// application's error box, never crossing Qt's own frames.
template <class Handler> auto endingAtItsEdge(Handler handler)
{
    return [handler]() mutable {
        try {
            handler();
        } catch (const std::exception& e) {
            reportError(e);
        }
    };
}

}  // namespace platform
