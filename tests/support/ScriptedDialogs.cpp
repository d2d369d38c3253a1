#include "support/ScriptedDialogs.h"

#include <QDialog>
#include <gtest/gtest.h>

ScriptedDialogs::ScriptedDialogs()
{
    platform::installDialogs(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    platform::installDialogs(nullptr);
}

std::optional<QString> ScriptedDialogs::take(std::deque<PathAnswer>& answers)
{
    const PathAnswer answer = answers.front();
    answers.pop_front();
    if (!answer.chosen)
        return std::nullopt;
    return answer.path;
}

void ScriptedDialogs::runModalAction()
{
    if (duringModal_.empty())
        return;
    auto action = std::move(duringModal_.front());
    duringModal_.pop_front();
    action();
}

bool ScriptedDialogs::askYesNo(const QString& caption, const QString& text)
{
    questions.push_back({caption, text});
    runModalAction();
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected question: " << caption.toStdString() << ": " << text.toStdString();
        return false;
    }
    const bool yes = answers_.front();
    answers_.pop_front();
    return yes;
}

void ScriptedDialogs::showAppError(const QString& text)
{
    errors.append(text);
    runModalAction();
}

void ScriptedDialogs::showNotice(const QString& text)
{
    notices.append(text);
    runModalAction();
}

void ScriptedDialogs::showWarning(const QString& text)
{
    warnings.append(text);
    runModalAction();
}

void ScriptedDialogs::showMessage(const QString& caption, const QString& text)
{
    messages.push_back({caption, text});
    runModalAction();
}

std::optional<QString> ScriptedDialogs::pickFolder(const QString& preselected)
{
    folderPickerStarts.append(preselected);
    runModalAction();
    if (folders_.empty()) {
        ADD_FAILURE() << "unexpected folder picker at " << preselected.toStdString();
        return std::nullopt;
    }
    return take(folders_);
}

std::optional<QString> ScriptedDialogs::pickSaveFile(const platform::SaveRequest& request)
{
    saveRequests.push_back(request);
    runModalAction();
    if (savePaths_.empty()) {
        ADD_FAILURE() << "unexpected save dialog";
        return std::nullopt;
    }
    return take(savePaths_);
}

int ScriptedDialogs::showModal(QDialog& dialog)
{
    ++dialogsShown;
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    if (!dialogActions_.empty()) {
        auto action = std::move(dialogActions_.front());
        dialogActions_.pop_front();
        action(dialog);
    }
    dialog.hide();
    return dialog.result();
}
