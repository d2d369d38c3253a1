#include "settings/TForm3.h"

#include "ui_TForm3.h"

#include <QTimer>

TForm3::TForm3(album::WorkingState& state, QTimer& autosaveTimer, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TForm3>()), state_(state), timer_(autosaveTimer)
{
    ui_->setupUi(this);
    FormCreate();
}

TForm3::~TForm3() = default;

void TForm3::FormCreate()
{
    ui_->CheckBoxAdr->setChecked(state_.SaveLastDir);
    ui_->CheckBoxSave->setChecked(state_.AutoSave);
}

bool TForm3::keepLastFolder() const
{
    return ui_->CheckBoxAdr->isChecked();
}

bool TForm3::autosaveTicked() const
{
    return ui_->CheckBoxSave->isChecked();
}
