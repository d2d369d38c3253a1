#pragma once

#include "app/Windows.h"
#include "support/Fixtures.h"
#include "support/ScriptedDialogs.h"
#include "ui/main/TForm1.h"

#include <QDir>
#include <gtest/gtest.h>
#include <memory>

// The program in a fresh working folder, every dialog scripted: start() creates its windows as
// the program does. Error boxes a test did not take, and scripted answers nobody asked for,
// fail the test.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedWorkingFolder_ = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(work.path()));
    }

    void TearDown() override
    {
        windows.reset();
        QDir::setCurrent(savedWorkingFolder_);
        EXPECT_TRUE(dialogs.allAnswersUsed()) << "a scripted answer was never asked for";
        EXPECT_TRUE(dialogs.errors.isEmpty()) << "unexpected error box: " << dialogs.errors.join(" | ").toStdString();
    }

    // The program starts: its three windows are created in their order.
    void start()
    {
        windows = std::make_unique<Windows>();
        form = windows->form1.get();
    }

    QStringList takeErrors()
    {
        QStringList errors = dialogs.errors;
        dialogs.errors.clear();
        return errors;
    }

    ScriptedDialogs dialogs;
    TempFolder work;  // the working folder the program starts in
    std::unique_ptr<Windows> windows;
    TForm1* form = nullptr;

private:
    QString savedWorkingFolder_;
};
