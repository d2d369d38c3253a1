#include "ui/windows/TForm3.h"

#include "ui/widgets/FieldKeys.h"
#include "ui/widgets/Mnemonics.h"
#include "ui/widgets/ProgramFont.h"

#include "album/AutosaveTimer.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "ui/main/WindowPlacement.h"
#include "ui_TForm3.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

namespace {

constexpr int kClientWidth = 440;
constexpr int kClientHeight = 199;

// The settings window cannot be without the main window.
QWidget& required(QWidget* mainWindow)
{
    Q_ASSERT(mainWindow);
    return *mainWindow;
}

}  // namespace

// Every handler ends at its own edge: an error is shown in the application's error box and the
// window goes on with the next event. (None of these handlers raises an error of the program's
// own: a settings file that cannot be written is lost silently.)
template <class Handler> auto TForm3::atEdge(Handler handler)
{
    return platform::endingAtItsEdge([this, handler] { (this->*handler)(); });
}

TForm3::TForm3(album::WorkingState& state, QTimer& autosaveTimer, QWidget* mainWindow)
    : QDialog(mainWindow), ui_(std::make_unique<Ui::TForm3>()), state_(state), timer_(autosaveTimer),
      mainWindow_(required(mainWindow))
{
    ui_->setupUi(this);
    setFont(programFont(11));
    makeMnemonicsImmediate(this);
    guardFieldKeys(this);
    // A narrow gap between box and caption, so that the long caption fits the box's width.
    for (QCheckBox* box : {ui_->CheckBoxAdr, ui_->CheckBoxSave})
        box->setStyleSheet(QStringLiteral("QCheckBox { spacing: 2px; }"));
    setFixedSize(kClientWidth, kClientHeight);
    ui_->Label1->adjustSize();
    ui_->Label2->adjustSize();
    // Enter in the interval field confirms the window, as it does in the other fields.
    ui_->SpinEditTime->setEnterBeeps(false);
    centreOnDesktop();
    connectHandlers();
    FormCreate();
}

TForm3::~TForm3() = default;

void TForm3::connectHandlers()
{
    auto& u = *ui_;
    connect(u.CheckBoxAdr, &QCheckBox::toggled, this, atEdge(&TForm3::CheckBoxAdrClick));
    connect(u.SBtnBrowse, &QToolButton::clicked, this, atEdge(&TForm3::SBtnBrowseClick));
    connect(u.EditAdr, &QLineEdit::textChanged, this, atEdge(&TForm3::EditAdrChange));
    connect(u.CheckBoxSave, &QCheckBox::toggled, this, atEdge(&TForm3::CheckBoxSaveClick));
    connect(u.SpinEditTime, &SpinEdit::changed, this, atEdge(&TForm3::SpinEditTimeChange));
    connect(u.SpinEditTime, &SpinEdit::enterPressed, u.BitBtn1, &QPushButton::click);
    connect(u.SBtnUse, &QToolButton::clicked, this, atEdge(&TForm3::SBtnUseClick));
    connect(u.BitBtn1, &QPushButton::clicked, this, atEdge(&TForm3::BitBtn1Click));
    connect(u.BitBtn3, &QPushButton::clicked, this, &QDialog::reject);
}

// The controls start from the loaded settings rather than from the design. A control whose state
// this changes runs its handler (Qt signals only real changes), so that, for example, an
// unticked autosave box also disables the interval field and stops the timer.
void TForm3::FormCreate()
{
    auto& u = *ui_;
    u.CheckBoxAdr->setChecked(state_.SaveLastDir);
    u.EditAdr->setText(state_.DefaultDir);
    u.CheckBoxSave->setChecked(state_.AutoSave);
    u.SpinEditTime->setValue(state_.AutoSaveMinutes);  // brought into 1..60
}

void TForm3::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TForm3::FormShow()
{
    auto& u = *ui_;
    u.SBtnUse->setEnabled(false);
    centreOnDesktop();
    // The window opens with the focus on the first enabled control of its tab order.
    for (QWidget* w : {static_cast<QWidget*>(u.EditAdr), static_cast<QWidget*>(u.CheckBoxSave),
                       static_cast<QWidget*>(u.SpinEditTime), static_cast<QWidget*>(u.BitBtn1),
                       static_cast<QWidget*>(u.BitBtn3), static_cast<QWidget*>(u.CheckBoxAdr)}) {
        if (w->isEnabled()) {
            w->setFocus(Qt::OtherFocusReason);
            break;
        }
    }
}

// Centred on the primary screen's work area, frame included once the frame is known.
void TForm3::centreOnDesktop()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect outer(QPoint(0, 0), frameGeometry().size());
    outer.moveCenter(screen->availableGeometry().center());
    move(outer.topLeft());
}

bool TForm3::keepLastFolder() const
{
    return ui_->CheckBoxAdr->isChecked();
}

bool TForm3::autosaveTicked() const
{
    return ui_->CheckBoxSave->isChecked();
}

int TForm3::intervalMinutes() const
{
    return ui_->SpinEditTime->value();
}

void TForm3::CheckBoxAdrClick()
{
    const bool typedFolder = !ui_->CheckBoxAdr->isChecked();
    ui_->EditAdr->setEnabled(typedFolder);
    ui_->SBtnBrowse->setEnabled(typedFolder);
    ui_->SBtnUse->setEnabled(true);
}

void TForm3::SBtnBrowseClick()
{
    if (!platform::folderExists(state_.DefaultDir))
        state_.DefaultDir.clear();
    if (auto chosen = platform::dialogs().pickFolder(state_.DefaultDir))
        state_.DefaultDir = QDir::cleanPath(*chosen);
    ui_->EditAdr->setText(state_.DefaultDir);
}

// A typed folder is taken when the settings are confirmed (takeTypedFolder).
void TForm3::EditAdrChange()
{
    ui_->SBtnUse->setEnabled(true);
}

void TForm3::CheckBoxSaveClick()
{
    if (ui_->CheckBoxSave->isChecked()) {
        ui_->SpinEditTime->setEnabled(true);
        album::switchAutosaveTimer(timer_, true);
        state_.AutoSave = true;
        SpinEditTimeChange();
    } else {
        ui_->SpinEditTime->setEnabled(false);
        album::switchAutosaveTimer(timer_, false);
        state_.AutoSave = false;
    }
    ui_->SBtnUse->setEnabled(true);
}

// Takes effect as typed: a number out of 1..60 stands until the field corrects it on losing the
// focus.
void TForm3::SpinEditTimeChange()
{
    const int minutes = ui_->SpinEditTime->value();
    state_.AutoSaveMinutes = minutes;
    album::setAutosaveMinutes(timer_, minutes);
    ui_->SBtnUse->setEnabled(true);
}

void TForm3::saveSettings()
{
    settings::SettingsToSave choices;
    choices.keepLastFolder = keepLastFolder();
    choices.autosave = autosaveTicked();
    choices.intervalMinutes = intervalMinutes();
    saveProgramSettings(state_, choices, mainWindow_);
}

// The folder typed into "Implicitní adresář" becomes the default folder when it exists. One that
// does not is named in a warning and the field gets the old folder back; false then, and the
// window stays open.
bool TForm3::takeTypedFolder()
{
    if (!ui_->EditAdr->isEnabled())
        return true;
    const QString typed = ui_->EditAdr->text().trimmed();
    if (typed == state_.DefaultDir)
        return true;
    if (!typed.isEmpty() && platform::folderExists(typed)) {
        state_.DefaultDir = QDir::cleanPath(typed);
        ui_->EditAdr->setText(state_.DefaultDir);
        return true;
    }
    const QString text = typed.isEmpty()
        ? QStringLiteral("Implicitní adresář není zadán. Zůstává adresář %1").arg(state_.DefaultDir)
        : QStringLiteral("Adresář %1 neexistuje. Implicitní adresář zůstává %2").arg(typed, state_.DefaultDir);
    platform::dialogs().showWarning(text);
    ui_->EditAdr->setText(state_.DefaultDir);
    return false;
}

void TForm3::SBtnUseClick()
{
    if (!takeTypedFolder())
        return;
    saveSettings();
    ui_->SBtnUse->setEnabled(false);
}

void TForm3::BitBtn1Click()
{
    if (!takeTypedFolder())
        return;
    saveSettings();
    accept();
}
