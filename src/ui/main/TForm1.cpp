#include "ui/main/TForm1.h"

#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/ProgramFolders.h"
#include "settings/Settings.h"
#include "ui/main/CaptionFields.h"
#include "ui/commands/EditCommands.h"
#include "ui/commands/HtmlAlbum.h"
#include "ui/commands/OpenFromOutside.h"
#include "ui/main/ToolIcons.h"
#include "ui/main/ToolbarEditor.h"
#include "ui/main/WindowPlacement.h"
#include "ui/commands/BatchCaptions.h"
#include "ui/overview/OverviewPlace.h"
#include "ui/picture/BigPreview.h"
#include "ui/picture/FullScreenView.h"
#include "ui/picture/PreviewPanel.h"
#include "ui/widgets/FieldKeys.h"
#include "ui/widgets/Mnemonics.h"
#include "ui/widgets/ProgramFont.h"
#include "ui/windows/TForm2.h"
#include "ui/windows/TForm3.h"
#include "ui_TForm1.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolButton>

using album::Shown;

namespace {

const QString kTitle = QStringLiteral("Albisko");
const QString kNoPicture = QStringLiteral("Není obrázek");

constexpr int kPanelWidth = 400;
constexpr int kPanelHeight = 300;
// The client area under the title bar and the menu bar.
constexpr int kClientWidth = 727;
constexpr int kClientHeight = 569;

int decimalDigits(int n)
{
    return int(QString::number(n).size());
}

}  // namespace

template <class Handler> static auto endsItself(TForm1* window, Handler handler)
{
    return platform::endingAtItsEdge([window, handler] { (window->*handler)(); });
}

TForm1::TForm1(album::Album& album, picture::PictureService& pictures, QWidget* parent)
    : QMainWindow(parent), ui_(std::make_unique<Ui::TForm1>()), album_(album), pictures_(pictures)
{
    ui_->setupUi(this);
    preview_ = new ui::PreviewPanel(album_, pictures_, ui_->Panel1, ui_->Image1);
    album_.setView(preview_);
    // Its commands are the window's before the keys are guarded.
    editCommands_ = new EditCommands(album_, *this,
                                     {ui_->EditAName, ui_->EditFTitle, ui_->EditFName, ui_->MemoA, ui_->MemoF},
                                     ui_->MenuConf->menuAction());
    fullScreenView_ = new FullScreenView(album_, pictures_, *this, editCommands_->menu(), {ui_->Image1, ui_->Panel1});
    // "Zobrazit": the photo in views of its own, between "Úpravy" and "Konfigurace".
    auto* viewMenu = new QMenu(QStringLiteral("&Zobrazit"), this);
    viewMenu->setObjectName(QStringLiteral("MenuView"));
    viewMenu->setToolTipsVisible(true);
    menuBar()->insertMenu(ui_->MenuConf->menuAction(), viewMenu);
    bigPreview_ = new BigPreview(album_, pictures_, *this, viewMenu);
    overviewPlace_ = new OverviewPlace(album_, pictures_.thumbnails(), *this, viewMenu);
    batchCaptions_ = new BatchCaptions(album_, overviewPlace_->overview(), *this, editCommands_->menu());
    makeMnemonicsImmediate(this);
    guardFieldKeys(this);
    // The hidden tools menu is never shown, but its item's shortcut still works: an action that
    // belongs to the window answers its shortcut whatever menu it sits in.
    ui_->MenuTools->menuAction()->setVisible(false);
    addAction(ui_->MenuHtml);
    applyFonts();
    applyIcons();
    makeToolbarEditable(ui_->ToolBar1);
    openDroppedAlbums(*this, album_);
    statusBar()->setFixedHeight(20);
    statusLabel_ = new QLabel(statusBar());
    statusBar()->addWidget(statusLabel_, 1);

    const int menuHeight = menuBar()->sizeHint().height();
    resize(kClientWidth, kClientHeight + menuHeight);
    setMinimumSize(size());
    move(244, 94);

    for (QLineEdit* field : {ui_->EditAName, ui_->EditADate, ui_->EditFTitle, ui_->EditFName, ui_->EditFdate})
        refuseUnholdable(field, &album_.state().CaptionEncoding);
    ui_->MemoA->setEncoding(&album_.state().CaptionEncoding);
    ui_->MemoF->setEncoding(&album_.state().CaptionEncoding);
    connectHandlers();
    bindToAlbum();
    FormCreate();
    recentAlbums_ = new RecentAlbums(album_, ui_->MenuFile, ui_->MenuClose);  // from the albums the settings list
}

TForm1::~TForm1()
{
    album_.setView(nullptr);
}

void TForm1::setWindows(TForm2* about, TForm3* settings)
{
    form2_ = about;
    form3_ = settings;
}

const ui::PhotoSlot& TForm1::previewSlot() const
{
    return preview_->slot();
}

void TForm1::connectHandlers()
{
    auto& u = *ui_;
    const auto command = [this](QAction* action, void (TForm1::*handler)()) {
        connect(action, &QAction::triggered, this, endsItself(this, handler));
    };
    command(u.MenuOpen, &TForm1::MenuOpenClick);
    command(u.TBOpen, &TForm1::MenuOpenClick);
    command(u.MenuSave, &TForm1::MenuSaveClick);
    command(u.TBSave, &TForm1::MenuSaveClick);
    command(u.MenuSaveAs, &TForm1::MenuSaveAsClick);
    command(u.TBSaveAs, &TForm1::MenuSaveAsClick);
    command(u.MenuClose, &TForm1::MenuCloseClick);
    command(u.MenuHtml, &TForm1::MenuHtmlClick);
    command(u.TBHtml, &TForm1::MenuHtmlClick);
    command(u.MenuSet, &TForm1::MenuSetClick);
    command(u.TBSet, &TForm1::MenuSetClick);
    command(u.MenuIndex, &TForm1::MenuIndexClick);
    command(u.MenuAbout, &TForm1::MenuAboutClick);

    connect(u.BitBtnFirst, &QPushButton::clicked, this, endsItself(this, &TForm1::BitBtnFirstClick));
    connect(u.BitBtnPrevious, &QPushButton::clicked, this, endsItself(this, &TForm1::BitBtnPreviousClick));
    connect(u.BitBtnNext, &QPushButton::clicked, this, endsItself(this, &TForm1::BitBtnNextClick));
    connect(u.BitBtnLast, &QPushButton::clicked, this, endsItself(this, &TForm1::BitBtnLastClick));
    connect(u.BitBtnJump, &QPushButton::clicked, this, endsItself(this, &TForm1::BitBtnJumpClick));
    connect(u.SpinEditJump, &SpinEdit::enterPressed, this, endsItself(this, &TForm1::SpinEditJumpKeyDown));
    connect(u.BitBtnNext1, &QPushButton::clicked, this, endsItself(this, &TForm1::BitBtnNext1Click));

    // Every change of a field's text goes to the album, the program's own included: the album
    // runs the field's rule only where the text differs from what it holds.
    connect(u.EditAName, &QLineEdit::textChanged, this, endsItself(this, &TForm1::EditANameChange));
    connect(u.EditADate, &QLineEdit::textChanged, this, endsItself(this, &TForm1::EditADateChange));
    connect(u.EditFTitle, &QLineEdit::textChanged, this, endsItself(this, &TForm1::EditFTitleChange));
    connect(u.EditFName, &QLineEdit::textChanged, this, endsItself(this, &TForm1::EditFNameChange));
    connect(u.EditFdate, &QLineEdit::textChanged, this, endsItself(this, &TForm1::EditFdateChange));
    connect(u.SpinEditF, &SpinEdit::changed, this, endsItself(this, &TForm1::SpinEditFChange));
    connect(u.SpinEditA, &SpinEdit::changed, this, endsItself(this, &TForm1::SpinEditAChange));
    connect(u.MemoA, &QPlainTextEdit::textChanged, this, endsItself(this, &TForm1::MemoAChange));
    connect(u.MemoF, &QPlainTextEdit::textChanged, this, endsItself(this, &TForm1::MemoFChange));
    connect(u.CheckBoxDate, &QCheckBox::toggled, this, endsItself(this, &TForm1::CheckBoxDateClick));
    connect(u.CheckBoxRights, &QCheckBox::toggled, this, endsItself(this, &TForm1::CheckBoxRightsClick));
}

void TForm1::bindToAlbum()
{
    using album::Album;
    connect(&album_, &Album::shownChanged, this, &TForm1::showField);
    connect(&album_, &Album::switchesChanged, this, &TForm1::showSwitches);
    connect(&album_, &Album::openChanged, this, &TForm1::showOpenState);
    connect(&album_, &Album::albumReplaced, this, &TForm1::showAlbumReplaced);
    connect(&album_, &Album::rowShown, this, &TForm1::showRow);
    connect(&album_, &Album::saveOffersChanged, this, &TForm1::showSaveOffers);
    connect(&album_, &Album::saveProgress, this, &TForm1::setStatusText);
    connect(&album_, &Album::busyChanged, this, &TForm1::SetBusyCursor);
}

void TForm1::applyFonts()
{
    ui_->centralwidget->setFont(programFont(13, true));
    for (QWidget* w : {static_cast<QWidget*>(ui_->GBAlbum), static_cast<QWidget*>(ui_->GBFotka),
                       static_cast<QWidget*>(ui_->SpinEditJump), static_cast<QWidget*>(ui_->BitBtnJump)})
        w->setFont(programFont(11, false));
    ui_->Panel1->setFont(programFont(16, true));
    // The groups' captions sit on their frame line, so the fields keep their places below it.
    const QString groupStyle = QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 8px; padding: 0px 2px; }");
    ui_->GBAlbum->setStyleSheet(groupStyle);
    ui_->GBFotka->setStyleSheet(groupStyle);
    // A narrow gap between box and caption, so that the long caption fits the box's width.
    ui_->CheckBoxDate->setStyleSheet(QStringLiteral("QCheckBox { spacing: 2px; }"));
    QPalette workspace = ui_->Panel1->palette();
    workspace.setColor(QPalette::Window, palette().color(QPalette::Dark));
    ui_->Panel1->setPalette(workspace);
    ui_->ToolBar1->setFixedHeight(29);
}

void TForm1::applyIcons()
{
    auto icon = [this](QStyle::StandardPixmap p) { return style()->standardIcon(p); };
    // The desktop's own icons where its theme has them; else the style's, and our drawings for
    // the two commands the style has no picture of.
    const QIcon open = toolIcon(QStringLiteral("document-open"), icon(QStyle::SP_DialogOpenButton));
    const QIcon save = toolIcon(QStringLiteral("document-save"), icon(QStyle::SP_DialogSaveButton));
    const QIcon saveAs = toolIcon(QStringLiteral("document-save-as"));
    const QIcon settings = toolIcon(QStringLiteral("preferences-system"));
    ui_->MenuOpen->setIcon(open);
    ui_->TBOpen->setIcon(open);
    ui_->MenuSave->setIcon(save);
    ui_->TBSave->setIcon(save);
    ui_->MenuSaveAs->setIcon(saveAs);
    ui_->TBSaveAs->setIcon(saveAs);
    ui_->MenuSet->setIcon(settings);
    ui_->TBSet->setIcon(settings);
    ui_->MenuIndex->setIcon(icon(QStyle::SP_DialogHelpButton));
    ui_->MenuAbout->setIcon(icon(QStyle::SP_MessageBoxInformation));
    ui_->BitBtnFirst->setIcon(icon(QStyle::SP_MediaSkipBackward));
    ui_->BitBtnPrevious->setIcon(icon(QStyle::SP_MediaSeekBackward));
    ui_->BitBtnNext->setIcon(icon(QStyle::SP_MediaSeekForward));
    ui_->BitBtnLast->setIcon(icon(QStyle::SP_MediaSkipForward));
    ui_->ToolBar1->setIconSize(QSize(16, 16));
    for (QAction* a : ui_->ToolBar1->actions())
        if (auto* button = qobject_cast<QToolButton*>(ui_->ToolBar1->widgetForAction(a)))
            button->setFixedSize(24, 25);
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // Only the toolbar (and the status bar) follow the window's width.
    ui_->ToolBar1->setFixedWidth(ui_->centralwidget->width());
}

// ---- Start-up and close -----------------------------------------------------------------

void TForm1::FormCreate()
{
    album::WorkingState& state = album_.state();
    UpdateNavigation(state.CurrentRow);
    for (int field = 0; field < album::ShownCount; ++field)
        showField(Shown(field));
    showSwitches();
    UpdateGroupsEnabled();
    ui_->Panel1->setText(kNoPicture);
    showSaveOffers();
    state.ProgramDir = platform::programFolder();
    if (platform::fileExists(platform::joinPath(state.ProgramDir, QLatin1String(settings::SettingsFileName))))
        placeMainWindow(*this, settings::LoadSettings(state));
    else
        settings::DefaultSettings(state);
    album_.settingsLoaded();
}

void TForm1::closeEvent(QCloseEvent* event)
{
    bool closes = true;
    try {
        closes = FormClose();
    } catch (const std::exception& e) {
        platform::reportError(e);
    }
    if (closes)
        event->accept();
    else
        event->ignore();
}

bool TForm1::FormClose()
{
    // When the save offered here fails, the window stays open with the album as it is, so the
    // captions can still be saved elsewhere.
    if (!album_.close())
        return false;
    form3_->saveSettings();
    return true;
}

// ---- What the album shows ---------------------------------------------------------------

void TForm1::showField(Shown field)
{
    const QString& text = album_.shown(field);
    // A field is set only where it shows something else: setting a line field moves its cursor
    // and clears its undo even for the same text.
    const auto showIn = [&text](QLineEdit* edit) {
        if (edit->text() != text)
            edit->setText(text);
    };
    const auto showInMemo = [&text](QPlainTextEdit* memo) {
        if (captionText(memo) != text)
            memo->setPlainText(text);
    };
    const auto showInSpin = [&text](SpinEdit* spin) {
        if (spin->text() != text)
            spin->setText(text);
    };
    auto& u = *ui_;
    switch (field) {
    case Shown::AlbumName: showIn(u.EditAName); break;
    case Shown::AlbumDate: showIn(u.EditADate); break;
    case Shown::AlbumDescription: showInMemo(u.MemoA); break;
    case Shown::AlbumRights: showInSpin(u.SpinEditA); break;
    case Shown::Title: showIn(u.EditFTitle); break;
    case Shown::Name: showIn(u.EditFName); break;
    case Shown::Date: showIn(u.EditFdate); break;
    case Shown::Description: showInMemo(u.MemoF); break;
    case Shown::PhotoRights:
        u.SpinEditF->setMinValue(album_.photoRightsMinimum());
        showInSpin(u.SpinEditF);
        break;
    }
}

void TForm1::showSwitches()
{
    auto& u = *ui_;
    u.CheckBoxDate->setChecked(album_.datesBound());
    u.EditFdate->setEnabled(!album_.datesBound());
    u.CheckBoxRights->setChecked(album_.rightsSwitchedOn());
    for (QWidget* w : {static_cast<QWidget*>(u.SpinEditA), static_cast<QWidget*>(u.SpinEditF),
                       static_cast<QWidget*>(u.BtnRights)})
        w->setEnabled(album_.rightsEnabled());
}

void TForm1::showOpenState(bool open)
{
    const album::WorkingState& state = album_.state();
    UpdateGroupsEnabled();
    if (open) {
        setWindowTitle(platform::folderName(state.AlbumDir) + QStringLiteral(" - ") + kTitle);
        ui_->Panel1->clear();
        return;
    }
    // The empty state.
    UpdateNavigation(state.CurrentRow);
    ui_->LabelFoto->clear();
    ui_->Image1->clear();
    ui_->Image1->hide();
    ui_->Panel1->resize(kPanelWidth, kPanelHeight);
    ui_->Panel1->setText(kNoPicture);
    setWindowTitle(kTitle);
}

void TForm1::showAlbumReplaced()
{
    if (!album_.state().AlbumOpen)
        return;
    const int rows = album_.table().RowCount();
    ui_->SpinEditJump->setMinValue(1);
    ui_->SpinEditJump->setMaxValue(rows);
    ui_->SpinEditJump->setMaxLength(decimalDigits(rows));
}

void TForm1::showRow(int row)
{
    ui_->LabelFoto->setText(QStringLiteral("%1/%2").arg(row + 1).arg(album_.table().RowCount()));
    UpdateNavigation(row);
}

void TForm1::showSaveOffers()
{
    ui_->MenuSave->setEnabled(album_.saveOffered());
    ui_->TBSave->setEnabled(album_.saveOffered());
    ui_->MenuSaveAs->setEnabled(album_.saveAsOffered());
    ui_->TBSaveAs->setEnabled(album_.saveAsOffered());
}

QString TForm1::statusText() const
{
    return statusLabel_->text();
}

void TForm1::setStatusText(const QString& text)
{
    statusLabel_->setText(text);
}

void TForm1::UpdateGroupsEnabled()
{
    ui_->GBAlbum->setEnabled(album_.state().AlbumOpen);
    ui_->GBFotka->setEnabled(album_.state().AlbumOpen);
}

void TForm1::SetBusyCursor(bool busy)
{
    const QCursor cursor(busy ? Qt::WaitCursor : Qt::ArrowCursor);
    for (QWidget* w : {static_cast<QWidget*>(this), static_cast<QWidget*>(ui_->Panel1),
                       static_cast<QWidget*>(ui_->Image1), static_cast<QWidget*>(ui_->GBAlbum),
                       ui_->ToolBar1->widgetForAction(ui_->TBSave), static_cast<QWidget*>(ui_->ToolBar1)})
        if (w)
            w->setCursor(cursor);
}

void TForm1::UpdateNavigation(int row)
{
    auto& u = *ui_;
    const int rows = album_.table().RowCount();
    if (row == 0) {
        u.BitBtnFirst->setEnabled(false);
        u.BitBtnPrevious->setEnabled(false);
        const bool more = rows != 1;
        for (QWidget* w : {static_cast<QWidget*>(u.BitBtnNext), static_cast<QWidget*>(u.BitBtnLast),
                           static_cast<QWidget*>(u.BitBtnJump), static_cast<QWidget*>(u.SpinEditJump),
                           static_cast<QWidget*>(u.BitBtnNext1)})
            w->setEnabled(more);
    } else {
        u.BitBtnFirst->setEnabled(true);
        u.BitBtnPrevious->setEnabled(true);
        const bool notLast = row + 1 != rows;
        u.BitBtnNext->setEnabled(notLast);
        u.BitBtnLast->setEnabled(notLast);
        u.BitBtnNext1->setEnabled(notLast);
    }
}

// ---- Field changes ----------------------------------------------------------------------

void TForm1::EditANameChange() { album_.setShown(Shown::AlbumName, ui_->EditAName->text()); }
void TForm1::EditADateChange() { album_.setShown(Shown::AlbumDate, ui_->EditADate->text()); }
void TForm1::MemoAChange() { album_.setShown(Shown::AlbumDescription, captionText(ui_->MemoA)); }
void TForm1::EditFTitleChange() { album_.setShown(Shown::Title, ui_->EditFTitle->text()); }
void TForm1::EditFNameChange() { album_.setShown(Shown::Name, ui_->EditFName->text()); }
void TForm1::EditFdateChange() { album_.setShown(Shown::Date, ui_->EditFdate->text()); }
void TForm1::MemoFChange() { album_.setShown(Shown::Description, captionText(ui_->MemoF)); }
void TForm1::SpinEditFChange() { album_.setShown(Shown::PhotoRights, ui_->SpinEditF->text()); }
void TForm1::SpinEditAChange() { album_.setShown(Shown::AlbumRights, ui_->SpinEditA->text()); }
void TForm1::CheckBoxDateClick() { album_.setDatesBound(ui_->CheckBoxDate->isChecked()); }
void TForm1::CheckBoxRightsClick() { album_.setRightsSwitchedOn(ui_->CheckBoxRights->isChecked()); }

// ---- Commands -----------------------------------------------------------------------------

void TForm1::MenuOpenClick()
{
    album_.open(std::nullopt);
}

void TForm1::MenuSaveClick()
{
    album_.save();
}

void TForm1::MenuSaveAsClick()
{
    album_.saveAs();
}

void TForm1::MenuCloseClick()
{
    close();
}

void TForm1::MenuHtmlClick()
{
    ui::assembleHtmlHead(platform::templateFolder(album_.state().ProgramDir), album_.shown(Shown::AlbumName),
                         *ui_->RichEdit1, *ui_->RichEdit2);
}

void TForm1::MenuSetClick()
{
    platform::dialogs().showModal(*form3_);
}

void TForm1::MenuIndexClick()
{
    // The installed help by its full path; otherwise by its bare name, in the working folder.
    platform::dialogs().openWithDesktop(platform::helpFile());
}

void TForm1::MenuAboutClick()
{
    platform::dialogs().showModal(*form2_);
}

// ---- Navigation ---------------------------------------------------------------------------

void TForm1::BitBtnFirstClick() { album_.first(); }
void TForm1::BitBtnPreviousClick() { album_.previous(); }
void TForm1::BitBtnNextClick() { album_.next(); }
void TForm1::BitBtnLastClick() { album_.last(); }

void TForm1::BitBtnJumpClick()
{
    // The field keeps the number as it is, also one outside the album.
    album_.jump(ui_->SpinEditJump->value());
}

void TForm1::SpinEditJumpKeyDown()
{
    BitBtnJumpClick();
}

void TForm1::BitBtnNext1Click()
{
    album_.next();
    // Selected, so that what is typed next replaces the name the photo has.
    ui_->EditFName->setFocus();
    ui_->EditFName->selectAll();
}
