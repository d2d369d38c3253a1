#pragma once

#include "album/Captions.h"
#include "album/PhotoTable.h"
#include "album/WorkingState.h"
#include "platform/FileSystem.h"

#include <QObject>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace album {

// The caption fields the album is shown in: the album's own (its header) and the current photo's.
// Each holds the text it shows; the rights fields are integer fields (0..100) whose text may be
// anything the user typed.
enum class Shown { AlbumName, AlbumDate, AlbumDescription, AlbumRights, Title, Name, Date, Description, PhotoRights };
constexpr int ShownCount = 9;

// What the album needs of the window that shows it, where it must wait for the answer.
class AlbumView {
public:
    virtual ~AlbumView() = default;
    // Shows the photo of `row` in the preview. Raises the photo's error (it belongs to the command
    // that moved to the photo).
    virtual void ShowPhoto(int row) = 0;
};

// The two choices Open takes from the settings as they are at that moment.
struct OpenChoices {
    bool keepLastFolder = true;  // Open starts where the last album was, not in the default folder
    bool autosave = false;       // autosave runs for the album opened
};

// The open album: the photo table, the working state, what its caption fields show, and every
// sequence that changes them (open, navigation, field changes and their rules, the album-wide
// edits, saving and autosave, closing). It is the one place they change; windows and views show
// it and hand it the user's edits. Questions, pickers, error boxes and beeps go through
// platform::dialogs().
//
// The fields' rules run whenever a field's text changes, whether the user typed or a sequence
// filled the field: setting a field to the text it shows runs nothing. A field's view hands
// every change of its text back through setShown, so a view that shows the text in its own way
// (a multi-line field's line breaks) stores what it shows. An error in the rule of a single-line
// or rights field ends only that rule (it is reported at once); an error in the rule of a
// description or check box ends the sequence that changed it.
class Album : public QObject {
    Q_OBJECT

public:
    Album();
    ~Album() override;

    void setView(AlbumView* view) { view_ = view; }
    // Where Open reads its two choices; without it, from the working state.
    void setOpenChoices(std::function<OpenChoices()> choices) { choices_ = std::move(choices); }

    const PhotoTable& table() const { return StringGrid1; }
    // The table itself, for a test that puts rows into a state no edit makes.
    PhotoTable& tableForTest() { return StringGrid1; }
    WorkingState& state() { return state_; }
    const WorkingState& state() const { return state_; }
    QTimer& autosaveTimer() { return Timer1; }
    // The full path of the photo in `row`.
    QString photoPath(int row) const;

    // ---- What the fields show
    const QString& shown(Shown field) const { return shown_[std::size_t(field)]; }
    int albumRights() const;           // the album rights field's value
    int photoRights() const;           // the photo rights field's value
    int photoRightsMinimum() const { return photoRightsMin_; }
    bool datesBound() const { return datesBound_; }    // CheckBoxDate
    bool rightsSwitchedOn() const { return rightsOn_; }  // CheckBoxRights
    bool rightsEnabled() const { return rightsEnabled_; }  // the rights fields take input
    bool saveOffered() const { return saveOffered_; }
    bool saveAsOffered() const { return saveAsOffered_; }
    // Photos whose title is not empty (0 without an album).
    int titledCount() const { return titled_; }
    AlbumHeader header() const;

    // ---- Edits: a field's text changed (typed, or shown by its view); the field's rule runs
    // when it differs from what the field showed.
    void setShown(Shown field, const QString& text);
    void setDatesBound(bool bound);      // CheckBoxDateClick
    void setRightsSwitchedOn(bool on);   // CheckBoxRightsClick
    // A photo's caption set from outside its fields (a command over several photos): stored,
    // shown where it is the current photo's, the album marked modified.
    void setCaption(int row, Field field, const QString& text);
    // Several photos' dates at once (only where the dates are not bound to the album's).
    void setDates(const std::vector<std::pair<int, QString>>& dates);
    // Captions of several photos set at once, as one step that undoCaptions takes back whole.
    struct CaptionEdit {
        int row;
        Field field;
        QString text;
    };
    void setCaptions(const std::vector<CaptionEdit>& edits);
    // Whether there is such a step to take back (none after Open or closing).
    bool canUndoCaptions() const { return !undo_.empty(); }
    // Takes the last such step back: every caption it set that still holds what it set gets
    // its earlier text again (one typed over since keeps what was typed).
    void undoCaptions();

    // ---- Sequences
    // Open with `folder` (absolute) in place of the folder picker's answer; nullopt: the picker asks.
    void open(const std::optional<QString>& folder);
    void first();      // BitBtnFirstClick
    void previous();   // BitBtnPreviousClick
    void next();       // BitBtnNextClick
    void last();       // BitBtnLastClick
    // Moves to photo `number` (1-based); a number outside the album goes to the nearest photo.
    void jump(int number);
    void goToRow(int row);
    void save();       // MenuSaveClick
    void saveAs();     // MenuSaveAsClick
    void Timer1Timer();
    // Closing: offers to save; false when the album must stay (the save it offered failed).
    bool close();
    // The settings were loaded: the autosave interval is set, the clock waits for an Open.
    void settingsLoaded();

    void MarkModified();
    void ShowPhotoFields(int row);

    // Where WriteCaptions writes: folder + "/" + name, or name as a complete path.
    enum class WriteMode { InFolder, FullPath };
    // What becomes of the rest of an existing file: kept (its other sections stay), or replaced
    // whole by this album (the old file still stays until the new one is complete).
    enum class Existing { Keep, Replace };
    // Writes the captions (album header and every row). True when the file was written; a
    // failure is handled here (the error message, or the autosave fallback).
    bool WriteCaptions(const QString& folder, const QString& name, WriteMode mode, Existing existing = Existing::Keep);

signals:
    // A field shows another text (or, for the rights fields, another minimum).
    void shownChanged(album::Shown field);
    // The check boxes, the rights fields' enabled state.
    void switchesChanged();
    // AlbumOpen changed: an album with photos is open, or the album is closed (the empty state).
    void openChanged(bool open);
    // The table holds another album (or none): everything shown of it is to be shown again.
    void albumReplaced();
    // The current row is shown: its counter and the navigation.
    void rowShown(int row);
    // A caption of one photo changed (any field), or of many at once (row -1).
    void captionChanged(int row, album::Field field);
    void modifiedChanged(bool modified);
    // canUndoCaptions may have changed.
    void undoChanged();
    void saveOffersChanged();
    // A save runs: its progress ("Probíhá ukládání...."); an empty text when it ends.
    void saveProgress(const QString& text);
    void busyChanged(bool busy);
    void saved(const QString& path);
    void saveFailed(const QString& path);

private:
    // Setting a field: the rule runs when its text changes.
    void fill(Shown field, const QString& text);
    void fillRights(Shown field, int value);
    void runRule(Shown field);
    void set(Field field, int row, const QString& value);
    void setModified(bool modified);
    void setSaveOffers(bool save, bool saveAs);
    void ResetRights();
    void albumRightsChanged();  // SpinEditAChange
    void albumDateChanged();    // EditADateChange
    void showCurrentRow(bool withPhoto);
    void countTitles();
    // Sets captions without recording them; the earlier texts, in the same order.
    std::vector<CaptionEdit> applyCaptions(const std::vector<CaptionEdit>& edits);
    void forgetUndo();

    // Open
    void showAlbum(const QList<platform::FolderEntry>& photos);
    void showEmptyState();
    AlbumCaptions ReadCaptions(const QString& folder, bool found);
    bool offerAutosaveBack(AlbumCaptions& captions);
    void settleModifiedAfterOpen(const AlbumCaptions& inFile);
    bool offerToSave();
    void deleteAutosaveFile();
    void autosaveFallback(QString folder);  // a copy: the folder is often AutosaveDir itself

    AlbumView* view_ = nullptr;
    std::function<OpenChoices()> choices_;
    PhotoTable StringGrid1;
    WorkingState state_;
    QTimer Timer1;
    std::array<QString, ShownCount> shown_;
    int photoRightsMin_ = 0;
    bool datesBound_ = false;
    bool rightsOn_ = false;
    bool rightsEnabled_ = false;
    bool saveOffered_ = false;
    bool saveAsOffered_ = false;
    int titled_ = 0;
    bool openUnderWay_ = false;   // autosave ticks during Open do nothing
    bool datesBackedUp_ = false;  // the rows' DateBackup holds their dates from the binding
    QString lastSaveAsPath_;      // shown by the next Save As
    // The steps of setCaptions, each as set and as it was before, the last one last.
    struct UndoStep {
        std::vector<CaptionEdit> set;
        std::vector<CaptionEdit> before;
    };
    std::vector<UndoStep> undo_;
};

}  // namespace album
