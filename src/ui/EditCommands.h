#pragma once

#include <QObject>
#include <memory>

class QAction;
class SpellChecker;
class SpellFields;
class QLabel;
class QMenu;
class TForm1;

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
    explicit EditCommands(TForm1& window);
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

    // The window tells: an album was opened (or closed), the current row moved, a photo's title
    // is about to change, the status bar's own text (a save's progress) was set.
    void albumChanged();
    void rowShown(int row);
    void titleChanging(const QString& before, const QString& after);
    void statusTextSet(const QString& text);

    void carryOver();
    void goToNextUndone();
    void datesFromExif();

private:
    void showProgress();

    TForm1& window_;
    QMenu* menu_;
    QAction* carryOver_;
    QAction* nextUndone_;
    QAction* exifDates_;
    QAction* spelling_;
    void useSpellChecker(std::shared_ptr<SpellChecker> checker);

    std::shared_ptr<SpellChecker> checker_;
    SpellFields* spellFields_ = nullptr;
    QLabel* progress_;
    int titled_ = 0;  // photos whose title is not empty
    bool saving_ = false;
};
