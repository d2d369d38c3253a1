#pragma once

#include "album/WorkingState.h"

#include <QDialog>
#include <memory>

class QTimer;
namespace Ui { class TForm3; }

// The settings window ("Nastavení"), created once at start-up after the main window has loaded
// the settings, and shown modally by the main window's settings command.
//
// Its controls are the live source of the settings: the Open command reads the two check boxes,
// and the settings file is written from the controls. Every change takes effect at once: the
// autosave box and the interval field switch and re-time the autosave timer the moment they
// change, whether the window is then confirmed or cancelled. "&OK" and "Po&užít" write the
// settings file; "&Cancel" (Escape) only closes the window. The window keeps its state between
// showings.
//
// Errors: each handler catches at its edge and shows the application's error box.
class TForm3 : public QDialog {
    Q_OBJECT

public:
    // `mainWindow` is the main window: the dialog's parent, whose placement the settings file keeps.
    TForm3(album::WorkingState& state, QTimer& autosaveTimer, QWidget* mainWindow);
    ~TForm3() override;

    Ui::TForm3& ui() { return *ui_; }

    // What the settings file is written from.
    bool keepLastFolder() const;   // CheckBoxAdr
    bool autosaveTicked() const;   // CheckBoxSave
    int intervalMinutes() const;   // SpinEditTime's value, as typed (not brought into its limits)
    // Writes the settings file: these choices, the working state and the main window as it is now.
    void saveSettings();

    // Handlers, named after their controls and events.
    void CheckBoxAdrClick();
    void SBtnBrowseClick();
    void EditAdrChange();
    void CheckBoxSaveClick();
    void SpinEditTimeChange();
    void SBtnUseClick();
    void BitBtn1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void connectHandlers();
    void centreOnDesktop();
    bool takeTypedFolder();
    template <class Handler> auto atEdge(Handler handler);

    std::unique_ptr<Ui::TForm3> ui_;
    album::WorkingState& state_;
    QTimer& timer_;
    QWidget& mainWindow_;
};
