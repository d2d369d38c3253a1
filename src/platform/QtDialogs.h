#pragma once

#include "platform/Dialogs.h"

class QWidget;

namespace platform {

// The real dialogs: QMessageBox, QFileDialog and QApplication::beep.
class QtDialogs : public Dialogs {
public:
    // Questions and error boxes are owned by this window (the main window).
    void setOwner(QWidget* owner) { owner_ = owner; }

    bool askYesNo(const QString& caption, const QString& text) override;
    void showAppError(const QString& text) override;
    void showWarning(const QString& text) override;
    void showNotice(const QString& text) override;
    void showMessage(const QString& caption, const QString& text) override;
    std::optional<QString> pickFolder(const QString& preselected) override;
    std::optional<QString> pickSaveFile(const SaveRequest& request) override;
    void beep() override;
    int showModal(QDialog& dialog) override;
    void openWithDesktop(const QString& target) override;

private:
    // The owner, or the window on the whole screen while one is active: a box owned by a window
    // behind it might show under it, out of sight, while it holds the keyboard.
    QWidget* owner() const;

    QWidget* owner_ = nullptr;
};

}  // namespace platform
