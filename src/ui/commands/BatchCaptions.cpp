#include "ui/commands/BatchCaptions.h"

#include "album/Album.h"
#include "album/ExifDate.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "ui/overview/AlbumOverview.h"

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

using album::Field;

namespace {

// Czech counts: 1 fotka, 2 to 4 fotky, 5 and more (and none) fotek; the verb follows.
bool fewForm(int n) { return n >= 2 && n <= 4; }
QString photosCount(int n)
{
    if (n == 1)
        return QStringLiteral("1 fotka");
    return (fewForm(n) ? QStringLiteral("%1 fotky") : QStringLiteral("%1 fotek")).arg(n);
}

QString nounOf(Given::Noun noun)
{
    switch (noun) {
    case Given::Title: return QStringLiteral("nadpis");
    case Given::Name: return QStringLiteral("jméno");
    case Given::Date: return QStringLiteral("datum");
    case Given::Description: return QStringLiteral("popis");
    case Given::ExifDate: break;
    }
    return QStringLiteral("datum pořízení podle EXIF");
}

// "a, b a c"
QString listed(const QStringList& words)
{
    if (words.size() < 2)
        return words.join(QString());
    return words.mid(0, words.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" a ") + words.last();
}

}  // namespace

QString describeGiven(const std::vector<Given>& given, int selected)
{
    if (given.empty())
        return QStringLiteral("Zaškrtněte, co mají vybrané fotky dostat.");
    QStringList parts;
    QStringList copied;
    for (const Given& g : given)
        if (g.noun != Given::ExifDate)
            copied << nounOf(g.noun);
    if (!copied.isEmpty())
        parts << QStringLiteral("%1 %2 %3")
                     .arg(listed(copied), fewForm(selected) ? QStringLiteral("dostanou") : QStringLiteral("dostane"),
                          photosCount(selected));
    for (const Given& g : given) {
        if (g.noun != Given::ExifDate)
            continue;
        const QString of = selected == 1 ? QStringLiteral("z 1 fotky") : QStringLiteral("z %1 fotek").arg(selected);
        parts << (g.photos == 0 ? QStringLiteral("datum pořízení v EXIF nemá žádná %1").arg(of)
                                : QStringLiteral("%1 %2 %3 %4")
                                      .arg(nounOf(g.noun),
                                           fewForm(g.photos) ? QStringLiteral("dostanou") : QStringLiteral("dostane"))
                                      .arg(g.photos)
                                      .arg(of));
    }
    for (const Given& g : given) {
        if (g.overwritten == 0)
            continue;
        const bool masculine = g.noun == Given::Title || g.noun == Given::Description;
        parts << QStringLiteral("%1 z nich už %2 vlastní %3, %4 se přepíše")
                     .arg(g.overwritten)
                     .arg(fewForm(g.overwritten) ? QStringLiteral("mají") : QStringLiteral("má"),
                          g.noun == Given::ExifDate ? QStringLiteral("datum") : nounOf(g.noun),
                          masculine ? QStringLiteral("ten") : QStringLiteral("to"));
    }
    QString text = parts.join(QStringLiteral("; ")) + QLatin1Char('.');
    text[0] = text[0].toUpper();
    return text;
}

// ---- The dialog ---------------------------------------------------------------------------

ApplyToSelectedDialog::ApplyToSelectedDialog(QWidget* parent, bool datesOpen,
                                             std::function<QString(const std::array<bool, Boxes>&)> describe)
    : QDialog(parent), summary_(new QLabel(this)), describe_(std::move(describe))
{
    setObjectName(QStringLiteral("ApplyToSelected"));
    setWindowTitle(QStringLiteral("Použít na vybrané fotky"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Vybrané fotky dostanou z této fotky:"), this));
    const char* texts[Boxes] = {"&Nadpis", "&Jméno", "&Datum", "&Popis", "Datum pořízení podle &EXIF (místo data této fotky)"};
    for (int i = 0; i < Boxes; ++i) {
        auto* box = new QCheckBox(QString::fromUtf8(texts[i]), this);
        boxes_[std::size_t(i)] = box;
        layout->addWidget(box);
        connect(box, &QCheckBox::toggled, this, [this, i](bool on) {
            // The date of this photo or the dates from EXIF: one or the other.
            if (on && (i == 2 || i == 4))
                boxes_[i == 2 ? 4 : 2]->setChecked(false);
            follow();
        });
    }
    for (int i : {2, 4}) {
        boxes_[std::size_t(i)]->setEnabled(datesOpen);
        if (!datesOpen)
            boxes_[std::size_t(i)]->setToolTip(QStringLiteral("Data fotek jsou svázána s datem alba."));
    }
    boxes_[0]->setChecked(true);
    boxes_[3]->setChecked(true);
    summary_->setObjectName(QStringLiteral("LabelSummary"));
    summary_->setWordWrap(true);
    summary_->setMinimumWidth(360);
    layout->addWidget(summary_);
    auto* buttons = new QDialogButtonBox(this);
    apply_ = buttons->addButton(QStringLiteral("&Použít"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Zrušit"), QDialogButtonBox::RejectRole);
    apply_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    follow();
}

std::array<bool, ApplyToSelectedDialog::Boxes> ApplyToSelectedDialog::ticks() const
{
    std::array<bool, Boxes> ticks{};
    for (int i = 0; i < Boxes; ++i)
        ticks[std::size_t(i)] = boxes_[std::size_t(i)]->isEnabled() && boxes_[std::size_t(i)]->isChecked();
    return ticks;
}

void ApplyToSelectedDialog::follow()
{
    if (!apply_)
        return;  // still being built
    const auto now = ticks();
    summary_->setText(describe_(now));
    apply_->setEnabled(std::find(now.begin(), now.end(), true) != now.end());
}

// ---- The commands -------------------------------------------------------------------------

BatchCaptions::BatchCaptions(album::Album& album, AlbumOverview& overview, QWidget& window, QMenu* menu)
    : QObject(&window), album_(album), overview_(overview), window_(window),
      apply_(new QAction(QStringLiteral("Použít na &vybrané fotky..."), &window)),
      undo_(new QAction(QStringLiteral("&Zpět"), &window))
{
    apply_->setObjectName(QStringLiteral("MenuApplyToSelected"));
    apply_->setToolTip(QStringLiteral("Dát popisky této fotky fotkám vybraným v přehledu alba (Ctrl+klepnutí, Shift+klepnutí)"));
    undo_->setObjectName(QStringLiteral("MenuUndoApply"));
    undo_->setToolTip(QStringLiteral("Vrátit popisky, které dostaly vybrané fotky (Ctrl+Z v přehledu alba)"));
    // Ctrl+Z in a caption field is the field's own undo: this one answers it in the overview.
    undo_->setShortcut(QKeySequence::Undo);
    undo_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    overview.addAction(undo_);
    menu->addSeparator();
    menu->addAction(apply_);
    menu->addAction(undo_);
    connect(apply_, &QAction::triggered, this, platform::endingAtItsEdge([this] { applyToSelected(); }));
    connect(undo_, &QAction::triggered, this, platform::endingAtItsEdge([this] { album_.undoCaptions(); }));
    connect(&album_, &album::Album::undoChanged, this, &BatchCaptions::updateCommands);
    connect(&album_, &album::Album::openChanged, this, &BatchCaptions::updateCommands);
    connect(&album_, &album::Album::rowShown, this, &BatchCaptions::updateCommands);
    connect(&overview_, &AlbumOverview::selectionChanged, this, &BatchCaptions::updateCommands);
    updateCommands();
}

void BatchCaptions::updateCommands()
{
    const auto selected = overview_.selectedRows();
    const bool others = selected.size() > 1 || (selected.size() == 1 && selected[0] != album_.state().CurrentRow);
    // Only a selection the user sees: never photos selected in an overview hidden since.
    apply_->setEnabled(album_.state().AlbumOpen && others && overview_.isVisibleTo(&window_));
    undo_->setEnabled(album_.canUndoCaptions());
}

void BatchCaptions::applyToSelected()
{
    const album::WorkingState& state = album_.state();
    if (!state.AlbumOpen)
        return;
    const int current = state.CurrentRow;
    std::vector<int> rows;
    if (overview_.isVisibleTo(&window_))
        for (int r : overview_.selectedRows())
            if (r != current)
                rows.push_back(r);
    if (rows.empty()) {
        platform::dialogs().showNotice(QStringLiteral("Vyberte v přehledu alba (F9) fotky, které mají dostat popisky "
                                                      "této fotky: Ctrl+klepnutím jednotlivé, Shift+klepnutím řadu."));
        return;
    }
    const album::PhotoTable& table = album_.table();
    constexpr Field fields[] = {Field::Title, Field::Name, Field::Date, Field::Description, Field::Date};
    // Read once, when a date box is first ticked: the dates from EXIF, and the files' own dates
    // (what Open gives a photo by itself).
    std::optional<std::vector<std::optional<QString>>> exif;
    const auto exifDates = [&]() -> const std::vector<std::optional<QString>>& {
        if (!exif) {
            exif.emplace();
            for (int r : rows) {
                const auto taken = album::exifDate(album_.photoPath(r));
                exif->push_back(taken ? std::optional(platform::shortDate(*taken)) : std::nullopt);
            }
        }
        return *exif;
    };
    std::optional<std::vector<QString>> fileDates;
    const auto fileDate = [&](std::size_t i) -> const QString& {
        if (!fileDates) {
            fileDates.emplace();
            for (int r : rows)
                fileDates->push_back(platform::shortDate(platform::modificationTime(album_.photoPath(r))));
        }
        return (*fileDates)[i];
    };
    // A caption typed before: not empty, and not what Open gives a photo by itself.
    const auto typed = [&](int box, std::size_t i, const QString& now) {
        if (now.isEmpty())
            return false;
        if (fields[box] == Field::Name)
            return now != album::keyOf(table.Get(Field::FileName, rows[i]));
        if (fields[box] == Field::Date)
            return now != fileDate(i);
        return true;
    };
    struct Plan {
        std::vector<Given> given;
        std::vector<album::Album::CaptionEdit> edits;
    };
    const auto plan = [&](const std::array<bool, ApplyToSelectedDialog::Boxes>& ticks) {
        Plan p;
        for (int box = 0; box < ApplyToSelectedDialog::Boxes; ++box) {
            if (!ticks[std::size_t(box)])
                continue;
            Given g{Given::Noun(box), 0, 0};
            for (std::size_t i = 0; i < rows.size(); ++i) {
                const std::optional<QString> value =
                    box == 4 ? exifDates()[i] : std::optional(table.Get(fields[box], current));
                if (!value)
                    continue;
                ++g.photos;
                const QString& now = table.Get(fields[box], rows[i]);
                if (now == *value)
                    continue;
                g.overwritten += typed(box, i, now);
                p.edits.push_back({rows[i], fields[box], *value});
            }
            p.given.push_back(g);
        }
        return p;
    };
    ApplyToSelectedDialog dialog(&window_, !album_.datesBound(),
                                 [&](const auto& ticks) { return describeGiven(plan(ticks).given, int(rows.size())); });
    if (platform::dialogs().showModal(dialog) != QDialog::Accepted)
        return;
    const Plan chosen = plan(dialog.ticks());
    if (chosen.edits.empty()) {
        platform::dialogs().showNotice(QStringLiteral("Vybrané fotky už tyto popisky mají."));
        return;
    }
    album_.setCaptions(chosen.edits);
}
