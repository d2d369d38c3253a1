#include "ui/TForm2.h"

#include "ui_TForm2.h"

TForm2::TForm2(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TForm2>())
{
    ui_->setupUi(this);
    connect(ui_->BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
}

TForm2::~TForm2() = default;
