#pragma once

#include <QDialog>
#include <memory>

namespace Ui { class TForm2; }

// The about window.
class TForm2 : public QDialog {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    Ui::TForm2& ui() { return *ui_; }

private:
    std::unique_ptr<Ui::TForm2> ui_;
};
