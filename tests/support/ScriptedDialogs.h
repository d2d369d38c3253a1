#pragma once

#include "platform/Dialogs.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

// Dialogs for tests: answers come from queues the test fills; a question, picker or save dialog
// nobody scripted fails the test (and is answered No / cancelled), so nothing ever blocks.
// Error boxes, messages and beeps are recorded for the test to check.
class ScriptedDialogs : public platform::Dialogs {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    struct Question {
        QString caption;
        QString text;
    };

    // Scripting
    void answerQuestion(bool yes) { answers_.push_back(yes); }
    void pickFolderResult(const std::optional<QString>& folder) { folders_.push_back({folder.has_value(), folder.value_or(QString())}); }
    void saveFileResult(const std::optional<QString>& path) { savePaths_.push_back({path.has_value(), path.value_or(QString())}); }
    // Runs inside the next modal call (question, picker, save dialog, message, error box),
    // as if an event arrived while it was open.
    void duringNextModal(std::function<void()> action) { duringModal_.push_back(std::move(action)); }

    // What happened
    std::vector<Question> questions;
    QStringList errors;                          // application error boxes, as shown
    std::vector<Question> messages;              // message dialogs
    QStringList warnings;
    QStringList notices;
    QStringList folderPickerStarts;              // preselected folder of each picker
    std::vector<platform::SaveRequest> saveRequests;
    int beeps = 0;

    // True when every scripted answer was used.
    bool allAnswersUsed() const { return answers_.empty() && folders_.empty() && savePaths_.empty(); }

    bool askYesNo(const QString& caption, const QString& text) override;
    void showAppError(const QString& text) override;
    void showWarning(const QString& text) override;
    void showNotice(const QString& text) override;
    void showMessage(const QString& caption, const QString& text) override;
    std::optional<QString> pickFolder(const QString& preselected) override;
    std::optional<QString> pickSaveFile(const platform::SaveRequest& request) override;
    void beep() override { ++beeps; }
    // Runs the next scripted action with the dialog (the dialog is shown, not run modally)
    // and returns the dialog's result; without a script the dialog is rejected.
    int showModal(QDialog& dialog) override;
    void duringNextDialog(std::function<void(QDialog&)> action) { dialogActions_.push_back(std::move(action)); }
    int dialogsShown = 0;
    void openWithDesktop(const QString& target) override { opened.append(target); }
    QStringList opened;  // what was handed to the desktop to open

private:
    void runModalAction();

    std::deque<bool> answers_;
    struct PathAnswer {
        bool chosen;  // false: the user cancelled
        QString path;
    };
    std::optional<QString> take(std::deque<PathAnswer>& answers);
    std::deque<PathAnswer> folders_;
    std::deque<PathAnswer> savePaths_;
    std::deque<std::function<void()>> duringModal_;
    std::deque<std::function<void(QDialog&)>> dialogActions_;
};
