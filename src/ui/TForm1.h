#pragma once

#include "album/Captions.h"
#include "album/PhotoTable.h"
#include "album/WorkingState.h"
#include "platform/FileSystem.h"
#include "ui/PreviewPrefetch.h"

#include <QMainWindow>
#include <QTimer>
#include <exception>
#include <memory>
#include <optional>

class EditCommands;
class QAbstractButton;
class QCheckBox;
class QPlainTextEdit;
class TForm2;
class TForm3;
namespace Ui { class TForm1; }

// The main window. It owns the photo table (kept in StringGrid1, as the window always called
// it), the working state and the album fields, and runs every command of the program.
//
// Errors: every handler catches at its edge and shows the application's error box. An error in
// the change handler of a single-line or spin field ends only that handler; an error in the
// handler of a multi-line field or a check box ends the command that changed it (it is carried
// out of Qt's call and thrown again in the command).
class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The other two windows, created after this one.
    void setWindows(TForm2* about, TForm3* settings);

    Ui::TForm1& ui() { return *ui_; }
    album::PhotoTable& table() { return StringGrid1; }
    album::WorkingState& state() { return state_; }
    QTimer& autosaveTimer() { return Timer1; }
    ui::PreviewPrefetch& previewPrefetch() { return prefetch_; }
    EditCommands& editCommands() { return *editCommands_; }
    class RecentAlbums& recentAlbums() { return *recentAlbums_; }
    class FullScreenView& fullScreenView() { return *fullScreenView_; }

    // Commands
    void MenuOpenClick();
    // Open with `folder` (an absolute path) in place of the folder picker's answer: the same
    // sequence, the save question first; nullopt: the picker asks.
    void openAlbum(const std::optional<QString>& folder);
    void MenuSaveClick();
    void MenuSaveAsClick();
    void MenuCloseClick();
    void MenuHtmlClick();
    void MenuSetClick();
    void MenuIndexClick();
    void MenuAboutClick();
    void Timer1Timer();

    // Navigation
    void BitBtnFirstClick();
    void BitBtnPreviousClick();
    void BitBtnNextClick();
    void BitBtnLastClick();
    void BitBtnJumpClick();
    void SpinEditJumpKeyDown();  // Enter in the jump field
    void BitBtnNext1Click();
    // Moves to `row` (0 <= row < RowCount()) as the jump does.
    void goToRow(int row);

    // Field changes
    void EditANameChange();
    void EditADateChange();
    void MemoAChange();
    void EditFTitleChange();
    void EditFNameChange();
    void EditFdateChange();
    void MemoFChange();
    void SpinEditFChange();
    void SpinEditAChange();
    void CheckBoxDateClick();
    void CheckBoxRightsClick();

    // Operations several commands share
    void MarkModified();
    void UpdateGroupsEnabled();
    void ResetRights();
    void SetBusyCursor(bool busy);
    void UpdateNavigation(int row);
    void ShowPhotoFields(int row);
    void ShowPhoto(int row);
    // Lays the captions of "info.txt" in `folder` (when `found`), or of an autosave file offered
    // back, over the scanned rows and the album fields. Returns the captions laid over: what
    // "info.txt" holds, or, not complete, the defaults or the autosave file's captions.
    album::AlbumCaptions ReadCaptions(const QString& folder, bool found);

    // Where WriteCaptions writes: folder + "/" + name, or name as a complete path.
    enum class WriteMode { InFolder, FullPath };
    // What becomes of the rest of an existing file: kept (its other sections stay), or replaced
    // whole by this album (the old file still stays until the new one is complete).
    enum class Existing { Keep, Replace };
    // Writes the captions (album header and every row). True when the file was written; a
    // failure is handled here (the error message, or the autosave fallback).
    bool WriteCaptions(const QString& folder, const QString& name, WriteMode mode,
                       Existing existing = Existing::Keep);

    QString statusText() const;
    // The full path of the photo in `row`.
    QString photoPath(int row) const;

protected:
    void closeEvent(QCloseEvent* event) override;  // FormClose
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate();
    // False when the window must stay open: the save it offered failed.
    bool FormClose();
    void connectHandlers();
    void applyFonts();
    void applyIcons();

    // Open, after the folder is listed
    void showAlbum(const QList<platform::FolderEntry>& photos);
    void showEmptyState();
    // The end of Open: the album is modified only where a save would write something that
    // "info.txt" (read as `inFile`) does not hold already, never merely because Open filled the
    // fields. Save As is available either way.
    void settleModifiedAfterOpen(const album::AlbumCaptions& inFile);
    // The album's own captions as the fields show them, as a save writes them.
    album::AlbumHeader albumHeader() const;
    // Step one of Open and of closing: offers to save unsaved captions. True when nothing is
    // left that only the autosave file holds (nothing was unsaved, the user gave the changes
    // up, or they were saved to "info.txt").
    bool offerToSave();
    void autosaveFallback(QString folder);  // a copy: the folder is often AutosaveDir itself
    // Part of Open: where the album's autosave file holds other captions than `captions` (what
    // "info.txt" holds, or the defaults), offers to take them instead; on Yes they replace
    // `captions` and the result is true.
    bool offerAutosaveBack(album::AlbumCaptions& captions);
    void deleteAutosaveFile();
    void setStatusText(const QString& text);
    void setSaveEnabled(bool enabled);
    void setSaveAsEnabled(bool enabled);
    void setCounter();
    // The photo passed over (ShowPhoto) is shown once the user stops on it.
    void showPendingPhoto();
    // Shows the current row: its photo (when asked), the counter, the navigation controls and
    // the photo fields. Whatever fails, all of them show the current row before the first
    // error is thrown, so an edit is never stored into a row other than the one shown.
    void showCurrentRow(bool withPhoto);

    // The program's own changes of a multi-line field or check box: the change handler runs
    // only on a real change, and an error it raised is thrown again here.
    void setMemoText(QPlainTextEdit* memo, const QString& text);
    void setBoxChecked(QCheckBox* box, bool checked);

    // Handler wrappers for connect()
    template <class Handler> auto endsItself(Handler handler);
    template <class Handler> auto endsCommand(Handler handler);
    void rethrowCarriedError();

    std::unique_ptr<Ui::TForm1> ui_;
    album::PhotoTable StringGrid1;
    album::WorkingState state_;
    QTimer Timer1;
    ui::PreviewPrefetch prefetch_;     // neighbours of the photo shown, decoded ahead
    QString pendingPhoto_;             // the photo shown whose picture waits for the input to end
    QTimer pendingPhotoTimer_;         // looks at it while it waits
    TForm2* form2_ = nullptr;
    TForm3* form3_ = nullptr;

    QString memoAText_;                // what the multi-line fields showed when last seen
    QString memoFText_;
    int programChanges_ = 0;           // > 0 while the program itself changes a field
    bool openUnderWay_ = false;        // autosave ticks during Open do nothing
    bool datesBackedUp_ = false;       // the rows' DateBackup holds their dates from the binding
    QString lastSaveAsPath_;           // shown by the next Save As
    class QLabel* statusLabel_ = nullptr;
    EditCommands* editCommands_ = nullptr;      // the "Úpravy" menu and the progress in the status bar
    class RecentAlbums* recentAlbums_ = nullptr;  // Soubor > Nedávná alba
    class FullScreenView* fullScreenView_ = nullptr;  // the photo on the whole screen (F11)
    std::exception_ptr carriedError_;  // raised by a handler during such a change
};
