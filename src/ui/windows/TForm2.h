#pragma once

#include <QDialog>
#include <memory>

class QLabel;
class QPixmap;
namespace Ui { class TForm2; }

// The about window: the program's version, what it is for, and where it lives on the web.
class TForm2 : public QDialog {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    Ui::TForm2& ui() { return *ui_; }

    // The link labels open what they show with the desktop's default handler.
    void Label2Click();
    void Label7Click();
    void LbMailClick();

protected:
    void showEvent(QShowEvent* event) override;  // FormShow
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void fitBeforeItsLink(QLabel* label, QLabel* link);
    void makeLink(QLabel* label);
    QPixmap programPicture() const;

    std::unique_ptr<Ui::TForm2> ui_;
};
