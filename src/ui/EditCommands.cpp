#include "ui/EditCommands.h"

#include "album/ExifDate.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "ui/SpellChecker.h"
#include "ui/SpellFields.h"
#include "ui/TForm1.h"
#include "ui_TForm1.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QFutureWatcher>
#include <QSignalBlocker>
#include <QtConcurrent>
#include <QStatusBar>
#include <QTextCursor>

namespace {

// `text` put into the field as one typed replacement of what it holds: one step of its undo.
void typeOver(QLineEdit* field, const QString& text)
{
    field->selectAll();
    field->insert(text);
}

void typeOver(QPlainTextEdit* field, const QString& text)
{
    QTextCursor cursor(field->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
}

}  // namespace

EditCommands::EditCommands(TForm1& window)
    : QObject(&window), window_(window), menu_(new QMenu(QStringLiteral("Ú&pravy"), &window)),
      carryOver_(new QAction(QStringLiteral("&Převzít z předchozí fotky"), &window)),
      nextUndone_(new QAction(QStringLiteral("Další &nepopsaná"), &window)),
      exifDates_(new QAction(QStringLiteral("&Data fotek podle EXIF..."), &window)),
      spelling_(new QAction(QStringLiteral("&Kontrola pravopisu"), &window)), progress_(new QLabel(&window))
{
    menu_->setObjectName(QStringLiteral("MenuEdit"));
    carryOver_->setObjectName(QStringLiteral("MenuCarryOver"));
    carryOver_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    carryOver_->setToolTip(QStringLiteral("Převzít nadpis a popis z předchozí fotky (Ctrl+B)"));
    nextUndone_->setObjectName(QStringLiteral("MenuNextUndone"));
    nextUndone_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    nextUndone_->setToolTip(QStringLiteral("Další fotka bez nadpisu (Ctrl+N)"));
    exifDates_->setObjectName(QStringLiteral("MenuExifDates"));
    exifDates_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    menu_->addAction(carryOver_);
    menu_->addAction(nextUndone_);
    menu_->addSeparator();
    menu_->addAction(exifDates_);
    menu_->addSeparator();
    spelling_->setObjectName(QStringLiteral("MenuSpelling"));
    spelling_->setCheckable(true);
    spelling_->setEnabled(false);  // until a dictionary is found
    menu_->addAction(spelling_);
    menu_->setToolTipsVisible(true);
    window.menuBar()->insertMenu(window.ui().MenuConf->menuAction(), menu_);
    connect(carryOver_, &QAction::triggered, this, platform::endingAtItsEdge([this] { carryOver(); }));
    connect(nextUndone_, &QAction::triggered, this, platform::endingAtItsEdge([this] { goToNextUndone(); }));
    connect(exifDates_, &QAction::triggered, this, platform::endingAtItsEdge([this] { datesFromExif(); }));
    connect(spelling_, &QAction::toggled, this, [this](bool on) {
        window_.state().SpellCheck = on;
        if (spellFields_)
            spellFields_->setEnabled(on);
    });
    progress_->setObjectName(QStringLiteral("LabelProgress"));
    window.statusBar()->addPermanentWidget(progress_);
    albumChanged();
}

EditCommands::~EditCommands() = default;

void EditCommands::startSpelling(const QString& dictionaryFolder)
{
    useSpellChecker(std::make_shared<SpellChecker>(
        dictionaryFolder, platform::joinPath(window_.state().ProgramDir, QStringLiteral("albisko-slovnik.txt"))));
}

void EditCommands::startSpellingInBackground(const QString& dictionaryFolder)
{
    const QString personal = platform::joinPath(window_.state().ProgramDir, QStringLiteral("albisko-slovnik.txt"));
    auto* watcher = new QFutureWatcher<std::shared_ptr<SpellChecker>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        useSpellChecker(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(QtConcurrent::run([dictionaryFolder, personal] {
        return std::make_shared<SpellChecker>(dictionaryFolder, personal);
    }));
}

void EditCommands::useSpellChecker(std::shared_ptr<SpellChecker> checker)
{
    delete spellFields_;
    const bool wanted = window_.state().SpellCheck;
    checker_ = std::move(checker);
    auto& u = window_.ui();
    spellFields_ = new SpellFields(*checker_, {u.EditAName, u.EditFTitle, u.EditFName}, {u.MemoA, u.MemoF}, this);
    const bool available = checker_->available();
    spelling_->setEnabled(available);
    spelling_->setToolTip(available ? QStringLiteral("Podtrhává slova, která český slovník nezná") : checker_->problem());
    spelling_->setStatusTip(spelling_->toolTip());
    {
        const QSignalBlocker quiet(spelling_);  // the setting stays as stored
        spelling_->setChecked(available && wanted);
    }
    spellFields_->setEnabled(available && wanted);
}

QString EditCommands::progressText() const
{
    return progress_->isVisibleTo(&window_) ? progress_->text() : QString();
}

void EditCommands::albumChanged()
{
    const album::PhotoTable& table = window_.table();
    titled_ = 0;
    if (window_.state().AlbumOpen) {
        for (int r = 0; r < table.RowCount(); ++r)
            titled_ += !table.Get(album::Field::Title, r).isEmpty();
    }
    rowShown(window_.state().CurrentRow);
    showProgress();
}

void EditCommands::rowShown(int row)
{
    const bool open = window_.state().AlbumOpen;
    carryOver_->setEnabled(open && row > 0);
    nextUndone_->setEnabled(open);
    exifDates_->setEnabled(open);
}

void EditCommands::titleChanging(const QString& before, const QString& after)
{
    if (before.isEmpty() == after.isEmpty())
        return;
    titled_ += after.isEmpty() ? -1 : 1;
    showProgress();
}

void EditCommands::statusTextSet(const QString& text)
{
    saving_ = !text.isEmpty();
    showProgress();
}

void EditCommands::showProgress()
{
    progress_->setText(QStringLiteral("Popsáno %1 z %2").arg(titled_).arg(window_.table().RowCount()));
    progress_->setVisible(window_.state().AlbumOpen && !saving_);
}

void EditCommands::carryOver()
{
    const int row = window_.state().CurrentRow;
    if (!window_.state().AlbumOpen || row == 0) {
        platform::dialogs().beep();
        return;
    }
    const album::PhotoTable& table = window_.table();
    typeOver(window_.ui().EditFTitle, table.Get(album::Field::Title, row - 1));
    typeOver(window_.ui().MemoF, table.Get(album::Field::Description, row - 1));
}

void EditCommands::goToNextUndone()
{
    if (!window_.state().AlbumOpen)
        return;
    const album::PhotoTable& table = window_.table();
    const int rows = table.RowCount();
    const int current = window_.state().CurrentRow;
    for (int step = 1; step < rows; ++step) {
        const int row = (current + step) % rows;
        if (table.Get(album::Field::Title, row).isEmpty()) {
            window_.goToRow(row);
            // A photo to caption: typing goes on in its title, wherever the cursor was.
            window_.ui().EditFTitle->setFocus();
            return;
        }
    }
    platform::dialogs().showNotice(QStringLiteral("Všechny ostatní fotky už mají nadpis."));
}

void EditCommands::datesFromExif()
{
    album::WorkingState& state = window_.state();
    if (!state.AlbumOpen)
        return;
    if (window_.ui().CheckBoxDate->isChecked()) {
        platform::dialogs().showNotice(
            QStringLiteral("Data fotek jsou svázána s datem alba. Zrušte nejdřív svázání, pak je lze nastavit podle EXIF."));
        return;
    }
    album::PhotoTable& table = window_.table();
    std::vector<std::pair<int, QString>> newDates;
    int typedOver = 0;  // dates the user wrote (anything but the file's own date) that change
    for (int r = 0; r < table.RowCount(); ++r) {
        const QString path = platform::joinPath(state.AlbumDir, table.Get(album::Field::FileName, r));
        const auto taken = album::exifDate(path);
        if (!taken)
            continue;
        const QString date = platform::shortDate(*taken);
        const QString& now = table.Get(album::Field::Date, r);
        if (date == now)
            continue;
        newDates.emplace_back(r, date);
        typedOver += now != platform::shortDate(platform::modificationTime(path));
    }
    if (newDates.empty()) {
        platform::dialogs().showNotice(QStringLiteral("Žádná fotka nemá v EXIF jiné datum pořízení, než jaké už má."));
        return;
    }
    // Czech counts: 1 datum, 2 to 4 data, 5 and more dat.
    const QString typed = typedOver == 0 ? QString()
        : typedOver == 1                 ? QStringLiteral("z toho 1 ručně zapsané datum se přepíše; ")
        : typedOver <= 4 ? QStringLiteral("z toho %1 ručně zapsaná data se přepíšou; ").arg(typedOver)
                         : QStringLiteral("z toho %1 ručně zapsaných dat se přepíše; ").arg(typedOver);
    const QString question = QStringLiteral("Datum pořízení podle EXIF dostane %1 z %2 fotek; %3ostatní si svá data "
                                            "ponechají. Pokračovat?")
                                 .arg(newDates.size())
                                 .arg(table.RowCount())
                                 .arg(typed);
    if (!platform::dialogs().askYesNo(QStringLiteral("Data fotek podle EXIF"), question))
        return;
    for (const auto& [row, date] : newDates)
        table.Set(album::Field::Date, row, date);
    window_.MarkModified();
    window_.ShowPhotoFields(state.CurrentRow);
}
