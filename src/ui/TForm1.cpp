#include "ui/TForm1.h"

#include "album/AutosaveRecovery.h"
#include "album/AutosaveTimer.h"
#include "album/Captions.h"
#include "album/FolderScan.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/ProgramFolders.h"
#include "settings/Settings.h"
#include "ui/TForm3.h"
#include "storage/ProfileFile.h"
#include "ui/CaptionFields.h"
#include "ui/HtmlAlbum.h"
#include "ui/ProgramFont.h"
#include "ui/EditCommands.h"
#include "ui/FullScreenView.h"
#include "ui/FieldKeys.h"
#include "ui/OpenFromOutside.h"
#include "ui/Mnemonics.h"
#include "ui/ToolIcons.h"
#include "ui/ToolbarEditor.h"
#include "ui/WindowPlacement.h"
#include "ui/TForm2.h"
#include "ui_TForm1.h"

#include <QCloseEvent>
#include <algorithm>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QScopeGuard>
#include <QStyle>
#include <QToolButton>

namespace {

const QString kTitle = QStringLiteral("Albisko");
const QString kCaptionFile = album::CaptionFileName;
const QString kAutosaveFile = album::AutosaveFileName;
const QString kNoPicture = QStringLiteral("Není obrázek");
const QString kSaveCaption = QStringLiteral("Uložit?");
const QString kSaveQuestion = QStringLiteral(
    "Byla změněna data, vybráním jiné složky před jejich uložením dojde k jejich ztrátě. "
    "Chcete Data nejdříve uložit?");

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

// ---- Handler plumbing -------------------------------------------------------------------

template <class Handler> auto TForm1::endsItself(Handler handler)
{
    return platform::endingAtItsEdge([this, handler] { (this->*handler)(); });
}

template <class Handler> auto TForm1::endsCommand(Handler handler)
{
    return [this, handler] {
        try {
            (this->*handler)();
        } catch (const std::exception& e) {
            if (programChanges_ > 0 && !carriedError_)
                carriedError_ = std::current_exception();
            else if (programChanges_ == 0)
                platform::reportError(e);
        }
    };
}

TForm1::TForm1(QWidget* parent) : QMainWindow(parent), ui_(std::make_unique<Ui::TForm1>())
{
    ui_->setupUi(this);
    editCommands_ = new EditCommands(*this);  // its commands are the window's before the keys are guarded
    fullScreenView_ = new FullScreenView(*this);
    makeMnemonicsImmediate(this);
    guardFieldKeys(this);
    // The hidden tools menu is never shown, but its item's shortcut still works: an action that
    // belongs to the window answers its shortcut whatever menu it sits in.
    ui_->MenuTools->menuAction()->setVisible(false);
    addAction(ui_->MenuHtml);
    applyFonts();
    applyIcons();
    makeToolbarEditable(ui_->ToolBar1);
    openDroppedAlbums(*this);
    statusBar()->setFixedHeight(20);
    statusLabel_ = new QLabel(statusBar());
    statusBar()->addWidget(statusLabel_, 1);

    const int menuHeight = menuBar()->sizeHint().height();
    resize(kClientWidth, kClientHeight + menuHeight);
    setMinimumSize(size());
    move(244, 94);

    Timer1.start(60000);  // running every minute until FormCreate sets its interval and stops it
    connect(&Timer1, &QTimer::timeout, this, endsItself(&TForm1::Timer1Timer));
    pendingPhotoTimer_.setInterval(5);
    connect(&pendingPhotoTimer_, &QTimer::timeout, this, endsItself(&TForm1::showPendingPhoto));
    for (QLineEdit* field : {ui_->EditAName, ui_->EditADate, ui_->EditFTitle, ui_->EditFName, ui_->EditFdate})
        refuseUnholdable(field, &state_.CaptionEncoding);
    ui_->MemoA->setEncoding(&state_.CaptionEncoding);
    ui_->MemoF->setEncoding(&state_.CaptionEncoding);
    connectHandlers();
    FormCreate();
    recentAlbums_ = new RecentAlbums(*this);  // from the albums the settings list
}

TForm1::~TForm1() = default;

void TForm1::setWindows(TForm2* about, TForm3* settings)
{
    form2_ = about;
    form3_ = settings;
}

void TForm1::rethrowCarriedError()
{
    if (programChanges_ == 0 && carriedError_)
        std::rethrow_exception(std::exchange(carriedError_, nullptr));
}

void TForm1::setMemoText(QPlainTextEdit* memo, const QString& text)
{
    if (captionText(memo) == text)
        return;
    ++programChanges_;
    memo->setPlainText(text);
    --programChanges_;
    rethrowCarriedError();
}

void TForm1::setBoxChecked(QCheckBox* box, bool checked)
{
    ++programChanges_;
    box->setChecked(checked);
    --programChanges_;
    rethrowCarriedError();
}

void TForm1::connectHandlers()
{
    auto& u = *ui_;
    connect(u.MenuOpen, &QAction::triggered, this, endsItself(&TForm1::MenuOpenClick));
    connect(u.TBOpen, &QAction::triggered, this, endsItself(&TForm1::MenuOpenClick));
    connect(u.MenuSave, &QAction::triggered, this, endsItself(&TForm1::MenuSaveClick));
    connect(u.TBSave, &QAction::triggered, this, endsItself(&TForm1::MenuSaveClick));
    connect(u.MenuSaveAs, &QAction::triggered, this, endsItself(&TForm1::MenuSaveAsClick));
    connect(u.TBSaveAs, &QAction::triggered, this, endsItself(&TForm1::MenuSaveAsClick));
    connect(u.MenuClose, &QAction::triggered, this, endsItself(&TForm1::MenuCloseClick));
    connect(u.MenuHtml, &QAction::triggered, this, endsItself(&TForm1::MenuHtmlClick));
    connect(u.TBHtml, &QAction::triggered, this, endsItself(&TForm1::MenuHtmlClick));
    connect(u.MenuSet, &QAction::triggered, this, endsItself(&TForm1::MenuSetClick));
    connect(u.TBSet, &QAction::triggered, this, endsItself(&TForm1::MenuSetClick));
    connect(u.MenuIndex, &QAction::triggered, this, endsItself(&TForm1::MenuIndexClick));
    connect(u.MenuAbout, &QAction::triggered, this, endsItself(&TForm1::MenuAboutClick));

    connect(u.BitBtnFirst, &QPushButton::clicked, this, endsItself(&TForm1::BitBtnFirstClick));
    connect(u.BitBtnPrevious, &QPushButton::clicked, this, endsItself(&TForm1::BitBtnPreviousClick));
    connect(u.BitBtnNext, &QPushButton::clicked, this, endsItself(&TForm1::BitBtnNextClick));
    connect(u.BitBtnLast, &QPushButton::clicked, this, endsItself(&TForm1::BitBtnLastClick));
    connect(u.BitBtnJump, &QPushButton::clicked, this, endsItself(&TForm1::BitBtnJumpClick));
    connect(u.SpinEditJump, &SpinEdit::enterPressed, this, endsItself(&TForm1::SpinEditJumpKeyDown));
    connect(u.BitBtnNext1, &QPushButton::clicked, this, endsItself(&TForm1::BitBtnNext1Click));

    connect(u.EditAName, &QLineEdit::textChanged, this, endsItself(&TForm1::EditANameChange));
    connect(u.EditADate, &QLineEdit::textChanged, this, endsItself(&TForm1::EditADateChange));
    connect(u.EditFTitle, &QLineEdit::textChanged, this, endsItself(&TForm1::EditFTitleChange));
    connect(u.EditFName, &QLineEdit::textChanged, this, endsItself(&TForm1::EditFNameChange));
    connect(u.EditFdate, &QLineEdit::textChanged, this, endsItself(&TForm1::EditFdateChange));
    connect(u.SpinEditF, &SpinEdit::changed, this, endsItself(&TForm1::SpinEditFChange));
    connect(u.SpinEditA, &SpinEdit::changed, this, endsItself(&TForm1::SpinEditAChange));

    // A multi-line field reports every setPlainText, even of the text it shows: only a real
    // change runs its handler.
    auto onMemoChange = [this](QPlainTextEdit* memo, QString* lastSeen, void (TForm1::*handler)()) {
        return [memo, lastSeen, run = endsCommand(handler)] {
            QString text = captionText(memo);
            if (text == *lastSeen)
                return;
            *lastSeen = std::move(text);
            run();
        };
    };
    connect(u.MemoA, &QPlainTextEdit::textChanged, this, onMemoChange(u.MemoA, &memoAText_, &TForm1::MemoAChange));
    connect(u.MemoF, &QPlainTextEdit::textChanged, this, onMemoChange(u.MemoF, &memoFText_, &TForm1::MemoFChange));
    connect(u.CheckBoxDate, &QCheckBox::toggled, this, endsCommand(&TForm1::CheckBoxDateClick));
    connect(u.CheckBoxRights, &QCheckBox::toggled, this, endsCommand(&TForm1::CheckBoxRightsClick));
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
    UpdateNavigation(state_.CurrentRow);
    state_.CurrentRow = 0;
    ResetRights();
    state_.AlbumOpen = false;
    state_.Modified = false;
    state_.RightsCascade = false;
    UpdateGroupsEnabled();
    ui_->Panel1->setText(kNoPicture);
    setSaveEnabled(false);
    setSaveAsEnabled(false);
    state_.ProgramDir = platform::programFolder();
    if (platform::fileExists(platform::joinPath(state_.ProgramDir, QLatin1String(settings::SettingsFileName))))
        placeMainWindow(*this, settings::LoadSettings(state_));
    else
        settings::DefaultSettings(state_);
    album::setAutosaveMinutes(Timer1, state_.AutoSaveMinutes);
    Timer1.stop();
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
    // captions can still be saved elsewhere: closing would lose them.
    if (!offerToSave())
        return false;
    deleteAutosaveFile();
    saveProgramSettings(state_, *form3_, *this);
    return true;
}

// ---- Operations ---------------------------------------------------------------------------

void TForm1::MarkModified()
{
    if (!state_.AlbumOpen)
        return;
    state_.Modified = true;
    setSaveEnabled(true);
    setSaveAsEnabled(true);
}

void TForm1::UpdateGroupsEnabled()
{
    ui_->GBAlbum->setEnabled(state_.AlbumOpen);
    ui_->GBFotka->setEnabled(state_.AlbumOpen);
}

void TForm1::ResetRights()
{
    setBoxChecked(ui_->CheckBoxRights, false);
    ui_->SpinEditA->setValue(0);
    ui_->SpinEditA->setEnabled(false);
    ui_->SpinEditF->setMinValue(0);
    ui_->SpinEditF->setValue(0);
    ui_->SpinEditF->setEnabled(false);
    ui_->BtnRights->setEnabled(false);
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

void TForm1::setSaveEnabled(bool enabled)
{
    ui_->MenuSave->setEnabled(enabled);
    ui_->TBSave->setEnabled(enabled);
}

void TForm1::setSaveAsEnabled(bool enabled)
{
    ui_->MenuSaveAs->setEnabled(enabled);
    ui_->TBSaveAs->setEnabled(enabled);
}

void TForm1::setCounter()
{
    ui_->LabelFoto->setText(QStringLiteral("%1/%2").arg(state_.CurrentRow + 1).arg(StringGrid1.RowCount()));
}

void TForm1::showCurrentRow(bool withPhoto)
{
    std::exception_ptr failure;
    if (withPhoto) {
        try {
            ShowPhoto(state_.CurrentRow);
        } catch (...) {
            failure = std::current_exception();
        }
    }
    setCounter();
    UpdateNavigation(state_.CurrentRow);
    try {
        ShowPhotoFields(state_.CurrentRow);
    } catch (...) {
        if (!failure)
            failure = std::current_exception();
    }
    if (failure)
        std::rethrow_exception(failure);
}

void TForm1::UpdateNavigation(int row)
{
    auto& u = *ui_;
    const int rows = StringGrid1.RowCount();
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
    editCommands_->rowShown(row);
    fullScreenView_->action()->setEnabled(state_.AlbumOpen);  // as the other album commands
}

void TForm1::ShowPhotoFields(int row)
{
    using album::Field;
    if (!state_.AlbumOpen)
        return;
    ui_->EditFTitle->setText(StringGrid1.Get(Field::Title, row));
    ui_->EditFName->setText(StringGrid1.Get(Field::Name, row));
    ui_->EditFdate->setText(StringGrid1.Get(Field::Date, row));
    setMemoText(ui_->MemoF, StringGrid1.Get(Field::Description, row));
    ui_->SpinEditF->setValue(platform::strToInt(StringGrid1.Get(Field::Rights, row)));
}

QString TForm1::photoPath(int row) const
{
    return platform::joinPath(state_.AlbumDir, StringGrid1.Get(album::Field::FileName, row));
}

album::AlbumCaptions TForm1::ReadCaptions(const QString& folder, bool found)
{
    // What the album shows without a caption file: the defaults of the scan.
    album::AlbumCaptions captions{ui_->EditAName->text(), ui_->EditADate->text(), QString(), QStringLiteral("0"), {}};
    if (found) {
        storage::ProfileFile file = album::captionFile(platform::joinPath(folder, kCaptionFile), state_.CaptionEncoding);
        captions = album::readCaptions(file, StringGrid1);
    }
    const bool recovered = offerAutosaveBack(captions);
    if (recovered)
        captions.complete = false;  // the recovered captions are not in "info.txt" yet
    if (!found && !recovered) {
        setMemoText(ui_->MemoA, QString());
        setMemoText(ui_->MemoF, QString());
        ResetRights();
        return captions;
    }
    // Every album starts from reset rights: a right of the album opened before never carries over.
    ResetRights();
    ui_->EditAName->setText(captions.name);
    ui_->EditADate->setText(captions.date);
    setMemoText(ui_->MemoA, captions.description);
    const int rights = platform::strToInt(captions.rights);
    if (rights > 0) {
        setBoxChecked(ui_->CheckBoxRights, true);
        ui_->SpinEditA->setValue(rights);
    }
    album::layOver(captions, StringGrid1);
    if (recovered)
        MarkModified();  // the recovered captions are not in "info.txt" yet
    return captions;
}

// ---- Field changes ----------------------------------------------------------------------

void TForm1::EditANameChange()
{
    MarkModified();
}

void TForm1::EditADateChange()
{
    MarkModified();
    if (!ui_->CheckBoxDate->isChecked())
        return;
    const QString date = ui_->EditADate->text();
    for (int r = 0; r < StringGrid1.RowCount(); ++r)
        StringGrid1.Set(album::Field::Date, r, date);
    ui_->EditFdate->setText(date);
}

void TForm1::MemoAChange()
{
    MarkModified();
}

void TForm1::EditFTitleChange()
{
    editCommands_->titleChanging(StringGrid1.Get(album::Field::Title, state_.CurrentRow), ui_->EditFTitle->text());
    StringGrid1.Set(album::Field::Title, state_.CurrentRow, ui_->EditFTitle->text());
    MarkModified();
}

void TForm1::EditFNameChange()
{
    StringGrid1.Set(album::Field::Name, state_.CurrentRow, ui_->EditFName->text());
    MarkModified();
}

void TForm1::EditFdateChange()
{
    StringGrid1.Set(album::Field::Date, state_.CurrentRow, ui_->EditFdate->text());
    MarkModified();
}

void TForm1::MemoFChange()
{
    StringGrid1.Set(album::Field::Description, state_.CurrentRow, captionText(ui_->MemoF));
    MarkModified();
}

void TForm1::SpinEditFChange()
{
    if (!state_.RightsCascade)
        StringGrid1.Set(album::Field::Rights, state_.CurrentRow, QString::number(ui_->SpinEditF->value()));
}

void TForm1::SpinEditAChange()
{
    // The album's right is a floor for every photo's right. The photo rights field stores
    // nothing into the current row meanwhile, however the cascade ends.
    state_.RightsCascade = true;
    const auto cascadeEnds = qScopeGuard([this] { state_.RightsCascade = false; });
    const int albumRights = ui_->SpinEditA->value();
    ui_->SpinEditF->setMinValue(albumRights);
    ui_->SpinEditF->setValue(albumRights);
    if (!state_.AlbumOpen)
        return;
    const QString raised = QString::number(ui_->SpinEditF->value());
    for (int r = 0; r < StringGrid1.RowCount(); ++r)
        if (platform::strToInt(StringGrid1.Get(album::Field::Rights, r)) <= albumRights)
            StringGrid1.Set(album::Field::Rights, r, raised);
}

void TForm1::CheckBoxDateClick()
{
    using album::Field;
    const int rows = StringGrid1.RowCount();
    // Dates the box changes are changed captions like typed ones: Save must be offered for them,
    // and closing must ask, whichever photo is shown.
    bool changed = false;
    const auto setDate = [&](int r, const QString& date) {
        changed = changed || StringGrid1.Get(Field::Date, r) != date;
        StringGrid1.Set(Field::Date, r, date);
    };
    if (ui_->CheckBoxDate->isChecked()) {
        ui_->EditFdate->setEnabled(false);
        for (int r = 0; r < rows; ++r)
            StringGrid1.Set(Field::DateBackup, r, StringGrid1.Get(Field::Date, r));
        datesBackedUp_ = true;
        const QString date = ui_->EditADate->text();
        for (int r = 0; r < rows; ++r)
            setDate(r, date);
    } else {
        ui_->EditFdate->setEnabled(true);
        // Photos opened while the box was ticked have no earlier date: they keep the one they have.
        if (datesBackedUp_)
            for (int r = 0; r < rows; ++r)
                setDate(r, StringGrid1.Get(Field::DateBackup, r));
        datesBackedUp_ = false;
    }
    if (changed)
        MarkModified();
    ShowPhotoFields(state_.CurrentRow);
}

void TForm1::CheckBoxRightsClick()
{
    if (!ui_->CheckBoxRights->isChecked())
        return;
    ui_->SpinEditA->setEnabled(true);
    ui_->SpinEditF->setEnabled(true);
    ui_->BtnRights->setEnabled(true);
    MarkModified();
}

// ---- Commands -----------------------------------------------------------------------------

void TForm1::MenuOpenClick()
{
    openAlbum(std::nullopt);
}

void TForm1::openAlbum(const std::optional<QString>& given)
{
    openUnderWay_ = true;
    const auto openEnds = qScopeGuard([this] { openUnderWay_ = false; });
    // When the save offered here fails, the album stays as it is (it can still be saved
    // elsewhere): opening another would lose it.
    if (!offerToSave())
        return;
    deleteAutosaveFile();
    state_.CurrentRow = 0;
    if (!form3_->keepLastFolder())
        state_.AlbumDir = state_.DefaultDir;
    if (!platform::folderExists(state_.AlbumDir))
        state_.AlbumDir.clear();
    // A folder given from outside (the command line, a drop) stands for the picker's answer.
    if (auto chosen = given ? given : platform::dialogs().pickFolder(state_.AlbumDir))
        state_.AlbumDir = QDir::cleanPath(*chosen);
    const QString captionPath = platform::joinPath(state_.AlbumDir, kCaptionFile);
    state_.CaptionFileFound = platform::fileExists(captionPath);
    state_.CaptionEncoding = state_.CaptionFileFound ? album::captionEncodingOf(captionPath) : storage::Encoding::Windows1250;
    state_.AutosaveDir = state_.AlbumDir;
    state_.AutosaveName = kAutosaveFile;
    album::switchAutosaveTimer(Timer1, form3_->autosaveTicked());
    StringGrid1.Reset();
    datesBackedUp_ = false;
    const auto photos = album::listPhotos(state_.AlbumDir);
    if (photos.isEmpty())
        showEmptyState();
    else
        showAlbum(photos);
}

// The photos branch of Open.
void TForm1::showAlbum(const QList<platform::FolderEntry>& photos)
{
    state_.AlbumOpen = true;
    const QString folder = platform::folderName(state_.AlbumDir);
    setWindowTitle(folder + QStringLiteral(" - ") + kTitle);
    // Setting the album fields counts as an edit: the album becomes modified when they change.
    ui_->EditAName->setText(album::holdable(folder, state_.CaptionEncoding));
    ui_->EditADate->setText(platform::shortDate(photos.front().modified));
    const QList<QStringList> shared = album::fillTable(photos, StringGrid1, state_.CaptionEncoding);
    UpdateGroupsEnabled();
    ui_->Panel1->clear();
    album::AlbumCaptions inFile;
    try {
        inFile = ReadCaptions(state_.AlbumDir, state_.CaptionFileFound);
    } catch (...) {
        // The rows lack the captions of "info.txt": nothing of this half-read album may ever be
        // saved over it. Back to the empty state, then report.
        StringGrid1.Reset();
        showEmptyState();
        throw;
    }
    editCommands_->albumChanged();
    recentAlbums_->remember(state_.AlbumDir);
    // The album is complete from here on: a photo that cannot be shown, or a photo right that
    // is not a number, is reported once the window shows the first row.
    const int rows = StringGrid1.RowCount();
    ui_->SpinEditJump->setMinValue(1);
    ui_->SpinEditJump->setMaxValue(rows);
    ui_->SpinEditJump->setMaxLength(decimalDigits(rows));
    if (!shared.isEmpty()) {
        QStringList groups;
        for (const QStringList& group : shared)
            groups << group.join(QStringLiteral(", "));
        platform::dialogs().showWarning(
            QStringLiteral("Tyto fotky by v souboru %1 měly stejný oddíl: %2. Popisky každé z nich se ukládají "
                           "zvlášť; druhá a další jsou v oddílu pojmenovaném celým názvem souboru.")
                .arg(kCaptionFile, groups.join(QStringLiteral("; "))));
    }
    // Settled however showing the first row ends: its photo or its rights may fail.
    const auto settle = qScopeGuard([this, &inFile] { settleModifiedAfterOpen(inFile); });
    showCurrentRow(true);
}

void TForm1::settleModifiedAfterOpen(const album::AlbumCaptions& inFile)
{
    if (!album::fileHoldsAlbum(inFile, albumHeader(), StringGrid1)) {
        MarkModified();
        return;
    }
    state_.Modified = false;
    setSaveEnabled(false);
    setSaveAsEnabled(true);
}

album::AlbumHeader TForm1::albumHeader() const
{
    return {ui_->EditAName->text(), ui_->EditADate->text(), captionText(ui_->MemoA), ui_->SpinEditA->value()};
}

// The no-photos branch of Open: the window's empty state.
void TForm1::showEmptyState()
{
    state_.AlbumOpen = false;
    state_.Modified = false;
    UpdateNavigation(state_.CurrentRow);
    ui_->LabelFoto->clear();
    UpdateGroupsEnabled();
    ui_->Image1->clear();
    ui_->Image1->hide();
    ui_->Panel1->resize(kPanelWidth, kPanelHeight);
    ui_->Panel1->setText(kNoPicture);
    setSaveEnabled(false);
    setSaveAsEnabled(false);
    ResetRights();
    ui_->EditAName->clear();
    ui_->EditADate->clear();
    setMemoText(ui_->MemoA, QString());
    ui_->EditFTitle->clear();
    ui_->EditFName->clear();
    ui_->EditFdate->clear();
    setMemoText(ui_->MemoF, QString());
    setWindowTitle(kTitle);
    editCommands_->albumChanged();
}

bool TForm1::offerToSave()
{
    if (!state_.Modified || !platform::dialogs().askYesNo(kSaveCaption, kSaveQuestion))
        return true;
    return WriteCaptions(state_.AlbumDir, kCaptionFile, WriteMode::InFolder);
}

void TForm1::deleteAutosaveFile()
{
    const QString path = state_.AutosaveDir + u'/' + state_.AutosaveName;
    if (platform::fileExists(path))
        platform::deleteFile(path);
}

QString TForm1::statusText() const
{
    return statusLabel_->text();
}

void TForm1::setStatusText(const QString& text)
{
    statusLabel_->setText(text);
    editCommands_->statusTextSet(text);
}

bool TForm1::WriteCaptions(const QString& folder, const QString& name, WriteMode mode, Existing existing)
{
    const QString path = mode == WriteMode::FullPath ? name : platform::joinPath(folder, name);
    SetBusyCursor(true);
    const auto restore = qScopeGuard([this] {
        SetBusyCursor(false);
        setStatusText(QString());
    });
    const QString progress = QStringLiteral("Probíhá ukládání...");
    setStatusText(progress);
    try {
        const album::AlbumHeader header = albumHeader();
        // One dot per row. The status bar's label is set again only every tenth of a second and
        // at the end, since setting a long text costs its length: a big album would otherwise
        // pay for it quadratically.
        QString status = progress;
        int rows = 0;
        QElapsedTimer sinceShown;
        sinceShown.start();
        const auto afterRow = [&] {
            status += u'.';
            if (++rows == StringGrid1.RowCount() || (rows % 256 == 0 && sinceShown.hasExpired(100))) {
                setStatusText(status);
                sinceShown.restart();
            }
        };
        if (existing == Existing::Replace) {
            storage::ProfileWriter file(path, state_.CaptionEncoding);
            album::writeCaptions(file, header, StringGrid1, afterRow);
            file.Flush();
        } else {
            storage::ProfileFile file = album::captionFile(path, state_.CaptionEncoding);
            album::writeCaptions(file, header, StringGrid1, afterRow);
            file.Flush();
        }
    } catch (const storage::EIniFileException&) {
        SetBusyCursor(false);
        if (name != kAutosaveFile)
            platform::dialogs().showMessage(QStringLiteral("Error"), QStringLiteral("Soubor %1 nelze zapsat").arg(path));
        else if (state_.AutosaveDir == folder)
            autosaveFallback(folder);
        return false;
    }
    if (name == kCaptionFile) {
        state_.Modified = false;
        setSaveEnabled(false);
    }
    return true;
}

// An autosave into `folder` failed: autosave goes on in the temporary folder, and the album
// is saved there once at once under a name that tells which album it is.
void TForm1::autosaveFallback(QString folder)
{
    state_.AutosaveDir = platform::tempFolder();
    WriteCaptions(state_.AutosaveDir, QStringLiteral("~%1.txt").arg(platform::folderName(folder)), WriteMode::InFolder);
}

void TForm1::MenuSaveClick()
{
    // "info.txt" gets exactly this album, nothing of the old file; the old file is replaced only
    // once the new one is complete, and the autosave file goes only once the captions are safe.
    if (WriteCaptions(state_.AlbumDir, kCaptionFile, WriteMode::InFolder, Existing::Replace))
        deleteAutosaveFile();
}

void TForm1::MenuSaveAsClick()
{
    platform::SaveRequest request;
    request.initialFolder = state_.AlbumDir;
    request.initialName = lastSaveAsPath_;
    request.filterDescription = QStringLiteral("Albisko Fotek");
    request.filterPattern = QStringLiteral("txt");
    request.defaultSuffix = QStringLiteral("txt");
    while (auto chosen = platform::dialogs().pickSaveFile(request)) {
        QString path = *chosen;
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".txt");
        // Asked here, not by the picker: only here is the extension added, and the question must
        // name the file that is written. No: the picker again, at that file.
        if (QFileInfo::exists(path)
            && !platform::dialogs().askYesNo(QStringLiteral("Uložit jako"),
                                             QStringLiteral("Soubor %1 již existuje.\nChcete ho přepsat?").arg(path))) {
            request.initialName = path;
            continue;
        }
        lastSaveAsPath_ = path;
        WriteCaptions(QString(), path, WriteMode::FullPath);
        return;
    }
}

void TForm1::MenuCloseClick()
{
    close();
}

void TForm1::MenuHtmlClick()
{
    ui::assembleHtmlHead(platform::templateFolder(state_.ProgramDir), ui_->EditAName->text(), *ui_->RichEdit1,
                         *ui_->RichEdit2);
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

void TForm1::BitBtnFirstClick()
{
    state_.CurrentRow = 0;
    showCurrentRow(true);
}

void TForm1::BitBtnPreviousClick()
{
    const bool moves = state_.CurrentRow > 0;
    if (moves)
        --state_.CurrentRow;
    showCurrentRow(moves);
}

void TForm1::BitBtnNextClick()
{
    const bool moves = state_.CurrentRow + 1 < StringGrid1.RowCount();
    if (moves)
        ++state_.CurrentRow;
    showCurrentRow(moves);
}

void TForm1::BitBtnLastClick()
{
    state_.CurrentRow = StringGrid1.RowCount() - 1;
    showCurrentRow(true);
}

void TForm1::BitBtnJumpClick()
{
    // A number outside the album (typed with Enter, or left from a larger album) jumps to the
    // nearest photo; the field keeps the number as it is.
    state_.CurrentRow = std::clamp(ui_->SpinEditJump->value() - 1, 0, StringGrid1.RowCount() - 1);
    showCurrentRow(true);
}

void TForm1::goToRow(int row)
{
    state_.CurrentRow = row;
    showCurrentRow(true);
}

void TForm1::SpinEditJumpKeyDown()
{
    BitBtnJumpClick();
}

void TForm1::BitBtnNext1Click()
{
    BitBtnNextClick();
    // Selected, so that what is typed next replaces the name the photo has.
    ui_->EditFName->setFocus();
    ui_->EditFName->selectAll();
}

void TForm1::Timer1Timer()
{
    // A tick while Open is under way (its question or folder picker is open) would write the
    // previous album's autosave file again after Open deleted it.
    if (state_.AlbumOpen && state_.AutoSave && !openUnderWay_)
        WriteCaptions(state_.AutosaveDir, state_.AutosaveName, WriteMode::InFolder);
}
