#pragma once

#include "ui/windows/TForm3.h"
#include "support/ProgramFixture.h"
#include "ui/main/TForm1.h"
#include "ui/windows/TForm2.h"
#include "ui_TForm1.h"
#include "ui_TForm3.h"
#include "picture/PictureService.h"

#include <QDir>
#include <gtest/gtest.h>

// The program's windows, created as the program creates them, with the working folder set to
// a fresh folder and every dialog scripted. Error boxes a test did not look at fail it.
class MainWindowTest : public ProgramTest {
protected:
    void SetUp() override
    {
        // The program's temporary folder (where autosave falls back, and where Open looks for
        // an album's autosave file) is the test's own.
        savedTemp_ = qgetenv("TMPDIR");
        qputenv("TMPDIR", temp.path().toLocal8Bit());
        ProgramTest::SetUp();
        start();
    }

    void TearDown() override
    {
        ProgramTest::TearDown();
        qputenv("TMPDIR", savedTemp_);
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

    // Every picture asked for decoded and shown (the views' pictures come from a worker thread).
    void settle() { form->pictures().waitForAll(); }

    // Open with the folder picker answering `folder` (or cancelled when empty).
    void open(std::optional<QString> folder)
    {
        dialogs.pickFolderResult(std::move(folder));
        ui().MenuOpen->trigger();
    }

    TempFolder albums;  // photo folders
    TempFolder temp;    // the temporary folder the program sees

private:
    QByteArray savedTemp_;
};
