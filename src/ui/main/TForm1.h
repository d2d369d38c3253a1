#pragma once

#include "album/Album.h"

#include <QMainWindow>
#include <memory>

class BatchCaptions;
class BigPreview;
class OverviewPlace;
class EditCommands;
class FullScreenView;
class RecentAlbums;
class QLabel;
class QLineEdit;
class TForm2;
class TForm3;
namespace Ui { class TForm1; }
namespace picture { class PictureService; }
namespace ui { class PhotoSlot; class PreviewPanel; }

// The main window: the open album (album::Album) shown in its fields, counter, navigation and
// preview. Its commands and field handlers hand the work to the album; the album's signals fill
// the window. Every handler catches at its edge and shows the application's error box.
class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    TForm1(album::Album& album, picture::PictureService& pictures, QWidget* parent = nullptr);
    ~TForm1() override;

    // The other two windows, created after this one.
    void setWindows(TForm2* about, TForm3* settings);

    Ui::TForm1& ui() { return *ui_; }
    album::Album& album() { return album_; }
    picture::PictureService& pictures() { return pictures_; }
    const ui::PhotoSlot& previewSlot() const;  // what the preview shows
    EditCommands& editCommands() { return *editCommands_; }
    RecentAlbums& recentAlbums() { return *recentAlbums_; }
    FullScreenView& fullScreenView() { return *fullScreenView_; }
    BigPreview& bigPreview() { return *bigPreview_; }
    OverviewPlace& overviewPlace() { return *overviewPlace_; }
    BatchCaptions& batchCaptions() { return *batchCaptions_; }
    QString statusText() const;

    // Commands
    void MenuOpenClick();
    void MenuSaveClick();
    void MenuSaveAsClick();
    void MenuCloseClick();
    void MenuHtmlClick();
    void MenuSetClick();
    void MenuIndexClick();
    void MenuAboutClick();

    // Navigation
    void BitBtnFirstClick();
    void BitBtnPreviousClick();
    void BitBtnNextClick();
    void BitBtnLastClick();
    void BitBtnJumpClick();
    void SpinEditJumpKeyDown();  // Enter in the jump field
    void BitBtnNext1Click();

    // Field changes: each hands the field's text to the album.
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

    void UpdateGroupsEnabled();
    void SetBusyCursor(bool busy);
    void UpdateNavigation(int row);

protected:
    void closeEvent(QCloseEvent* event) override;  // FormClose
    void resizeEvent(QResizeEvent* event) override;

private:
    void FormCreate();
    // False when the window must stay open: the save it offered failed.
    bool FormClose();
    void connectHandlers();
    void bindToAlbum();
    void applyFonts();
    void applyIcons();

    // What the album tells, shown
    void showField(album::Shown field);
    void showSwitches();
    void showOpenState(bool open);
    void showAlbumReplaced();
    void showRow(int row);
    void showSaveOffers();
    void setStatusText(const QString& text);

    std::unique_ptr<Ui::TForm1> ui_;
    album::Album& album_;
    picture::PictureService& pictures_;  // decodes every picture the windows show
    ui::PreviewPanel* preview_ = nullptr;
    TForm2* form2_ = nullptr;
    TForm3* form3_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    EditCommands* editCommands_ = nullptr;      // the "Úpravy" menu and the progress in the status bar
    RecentAlbums* recentAlbums_ = nullptr;      // Soubor > Nedávná alba
    FullScreenView* fullScreenView_ = nullptr;  // the photo on the whole screen (F11)
    BigPreview* bigPreview_ = nullptr;          // the photo in a window of its own (F10)
    OverviewPlace* overviewPlace_ = nullptr;    // the album's thumbnails beside the controls (F9)
    BatchCaptions* batchCaptions_ = nullptr;    // captions for the photos selected there
};
