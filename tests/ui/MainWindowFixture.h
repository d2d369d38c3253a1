#pragma once

#include "app/Windows.h"
#include "settings/TForm3.h"
#include "support/Fixtures.h"
#include "support/ScriptedDialogs.h"
#include "ui/TForm1.h"
#include "ui/TForm2.h"
#include "ui_TForm1.h"
#include "ui_TForm3.h"

#include <QDir>
#include <gtest/gtest.h>

// The program's windows, created as the program creates them, with the working folder set to
// a fresh folder and every dialog scripted. Error boxes a test did not look at fail it.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The program's temporary folder (where autosave falls back, and where Open looks for
        // an album's autosave file) is the test's own.
        savedTemp_ = qgetenv("TMPDIR");
        qputenv("TMPDIR", temp.path().toLocal8Bit());
        savedWorkingFolder_ = QDir::currentPath();
        QDir::setCurrent(work.path());
        windows = std::make_unique<Windows>();
        form = windows->form1.get();
    }

    void TearDown() override
    {
        windows.reset();
        QDir::setCurrent(savedWorkingFolder_);
        qputenv("TMPDIR", savedTemp_);
        EXPECT_TRUE(dialogs.allAnswersUsed()) << "a scripted answer was never asked for";
        EXPECT_TRUE(dialogs.errors.isEmpty()) << "unexpected error box: " << dialogs.errors.join(" | ").toStdString();
    }

    Ui::TForm1& ui() { return form->ui(); }

    // A folder with photos of the given names (small real JPEGs), all dated 15.1.2004 unless
    // the test changes it.
    QString makeAlbum(const QString& name, const QStringList& photos)
    {
        const QString folder = albums.makeFolder(name);
        for (const QString& photo : photos) {
            writeJpeg(folder + u'/' + photo, 64, 48);
            setModificationTime(folder + u'/' + photo, QDateTime(QDate(2004, 1, 15), QTime(12, 0)));
        }
        return folder;
    }

    // Open with the folder picker answering `folder` (or cancelled when empty).
    void open(std::optional<QString> folder)
    {
        dialogs.pickFolderResult(std::move(folder));
        ui().MenuOpen->trigger();
    }

    QStringList takeErrors()
    {
        QStringList errors = dialogs.errors;
        dialogs.errors.clear();
        return errors;
    }

    ScriptedDialogs dialogs;
    TempFolder work;    // the working folder the program starts in
    TempFolder albums;  // photo folders
    TempFolder temp;    // the temporary folder the program sees
    std::unique_ptr<Windows> windows;
    TForm1* form = nullptr;

private:
    QString savedWorkingFolder_;
    QByteArray savedTemp_;
};
