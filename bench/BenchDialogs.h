#pragma once

// Dialogs for benchmarks: the folder picker answers a fixed folder, questions are answered No,
// and an error box ends the run (a benchmark that hits an error measures nothing useful).
#include "platform/Dialogs.h"

#include <QtGlobal>

class BenchDialogs : public platform::Dialogs {
public:
    BenchDialogs() { platform::installDialogs(this); }
    ~BenchDialogs() override { platform::installDialogs(nullptr); }

    QString folder;
    bool askYesNo(const QString&, const QString&) override { return false; }
    void showAppError(const QString& text) override { qFatal("error box: %s", qPrintable(text)); }
    void showWarning(const QString&) override {}
    void showMessage(const QString&, const QString&) override {}
    std::optional<QString> pickFolder(const QString&) override { return folder; }
    std::optional<QString> pickSaveFile(const platform::SaveRequest&) override { return std::nullopt; }
    void beep() override {}
    int showModal(QDialog&) override { return 0; }
    void openWithDesktop(const QString&) override {}
};
