#pragma once

#include <QDialog>
#include <QObject>
#include <array>
#include <functional>
#include <vector>

class AlbumOverview;
class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QPushButton;
namespace album { class Album; }

// What a command over several photos gives: one caption for so many photos, of which so many
// had their own text that is replaced.
struct Given {
    enum Noun { Title, Name, Date, Description, ExifDate };
    Noun noun;
    int photos;       // photos whose caption is set
    int overwritten;  // ... of them with a text of their own that goes
};
// The sentence that says it before it is done, in Czech: "Nadpis a popis dostane 12 fotek; 3 z
// nich už mají vlastní nadpis, ten se přepíše." `selected` is how many photos are selected.
QString describeGiven(const std::vector<Given>& given, int selected);

// "Použít na vybrané fotky": which captions of the photo shown go to the photos selected in the
// album's overview (ticked boxes: title, name, date, description; or the dates from EXIF), with a
// sentence that says how many photos get them and how many captions typed before go.
class ApplyToSelectedDialog : public QDialog {
public:
    // The boxes, in this order; the last one is the dates from EXIF.
    static constexpr int Boxes = 5;
    ApplyToSelectedDialog(QWidget* parent, bool datesOpen, std::function<QString(const std::array<bool, Boxes>&)> describe);

    QCheckBox* box(int i) const { return boxes_[std::size_t(i)]; }
    QLabel* summary() const { return summary_; }
    QPushButton* applyButton() const { return apply_; }
    std::array<bool, Boxes> ticks() const;

private:
    void follow();

    std::array<QCheckBox*, Boxes> boxes_{};
    QLabel* summary_;
    QPushButton* apply_ = nullptr;
    std::function<QString(const std::array<bool, Boxes>&)> describe_;
};

// The "Úpravy" commands over the photos selected in the overview:
// - "Použít na vybrané fotky..." gives the captions of the photo shown (those ticked in
//   ApplyToSelectedDialog) to the other selected photos, as one step of the album;
// - "Zpět" (Ctrl+Z in the overview) takes the last such step back whole.
class BatchCaptions : public QObject {
public:
    BatchCaptions(album::Album& album, AlbumOverview& overview, QWidget& window, QMenu* menu);

    QAction* applyAction() const { return apply_; }
    QAction* undoAction() const { return undo_; }
    void applyToSelected();

private:
    void updateCommands();

    album::Album& album_;
    AlbumOverview& overview_;
    QWidget& window_;
    QAction* apply_;
    QAction* undo_;
};
