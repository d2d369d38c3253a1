#pragma once

#include "album/WorkingState.h"

#include <QDialog>
#include <memory>

class QTimer;
namespace Ui { class TForm3; }

// The settings window. Its check boxes are the live source of the choices to keep the last
// folder and to autosave, which the Open command reads.
class TForm3 : public QDialog {
    Q_OBJECT

public:
    TForm3(album::WorkingState& state, QTimer& autosaveTimer, QWidget* parent = nullptr);
    ~TForm3() override;

    Ui::TForm3& ui() { return *ui_; }
    bool keepLastFolder() const;
    bool autosaveTicked() const;

private:
    void FormCreate();

    std::unique_ptr<Ui::TForm3> ui_;
    album::WorkingState& state_;
    QTimer& timer_;
};
