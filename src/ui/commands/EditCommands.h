#pragma once

#include <QObject>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPlainTextEdit;
class SpellChecker;
class SpellFields;
namespace album { class Album; }

// The caption fields of the main window the commands type into and check the spelling of.
struct CaptionWidgets {
    QLineEdit* albumName;
    QLineEdit* title;
    QLineEdit* name;
    QPlainTextEdit* albumDescription;
    QPlainTextEdit* description;
};

// The "Úpravy" menu, between "Soubor" and "Konfigurace": commands for captioning many photos.
// - "Převzít z předchozí fotky" (Ctrl+B) puts the previous photo's title and description into the
//   current photo's fields as if typed: the album is marked modified, the field's undo takes it
//   back. Disabled on the first photo and without an album.
// - "Další nepopsaná" (Ctrl+N) moves to the next photo after the current one, round to the first,
//   whose title is empty, as the navigation buttons move; says so when there is none.
// - "Data fotek podle EXIF" (Ctrl+Shift+E) sets each photo's date to the date it was taken, as
//   its EXIF header says, after a question that says how many photos get a new date; the others
//   keep theirs. Not while the photo dates are bound to the album's.
// - "Kontrola pravopisu" switches the Czech spelling of the caption fields (SpellFields); stored.
// The status bar shows, while no save is running, how many photos have a title
// ("Popsáno 37 z 120"). The count is kept, never counted again at a keystroke.
class EditCommands : public QObject {
public:
    // The menu goes into `window`'s menu bar before `before`, the progress into its status bar.
    EditCommands(album::Album& album, QMainWindow& window, const CaptionWidgets& fields, QAction* before);
    ~EditCommands() override;

    QMenu* menu() const { return menu_; }
    QAction* carryOverAction() const { return carryOver_; }
    QAction* nextUndoneAction() const { return nextUndone_; }
    QAction* exifDatesAction() const { return exifDates_; }
    QAction* spellingAction() const { return spelling_; }
    SpellFields* spellFields() const { return spellFields_; }

    // Spelling in the caption fields, with Hunspell's Czech dictionary from `dictionaryFolder`
    // and the personal word list in the working folder; switched as the settings say. Without
    // a dictionary the menu item is disabled and says which package provides it.
    void startSpelling(const QString& dictionaryFolder);
    // The same with the dictionary read on a worker thread (it takes a few tenths of a second):
    // the program starts without waiting, and the spelling comes on once it is read.
    void startSpellingInBackground(const QString& dictionaryFolder);
    QString progressText() const;

    void carryOver();
    void goToNextUndone();
    void datesFromExif();

private:
    // What the album tells: the commands that apply, and the progress.
    void updateCommands();
    void showProgress();

    album::Album& album_;
    QMainWindow& window_;
    CaptionWidgets fields_;
    QMenu* menu_;
    QAction* carryOver_;
    QAction* nextUndone_;
    QAction* exifDates_;
    QAction* spelling_;
    void useSpellChecker(std::shared_ptr<SpellChecker> checker);

    std::shared_ptr<SpellChecker> checker_;
    SpellFields* spellFields_ = nullptr;
    QLabel* progress_;
    bool saving_ = false;
};
