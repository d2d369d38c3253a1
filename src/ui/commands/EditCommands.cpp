#include "ui/commands/EditCommands.h"

#include "album/Album.h"
#include "album/ExifDate.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "spelling/SpellChecker.h"
#include "ui/spelling/SpellFields.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
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

EditCommands::EditCommands(album::Album& album, QMainWindow& window, const CaptionWidgets& fields, QAction* before)
    : QObject(&window), album_(album), window_(window), fields_(fields), menu_(new QMenu(QStringLiteral("Ú&pravy"), &window)),
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
    window.menuBar()->insertMenu(before, menu_);
    connect(carryOver_, &QAction::triggered, this, platform::endingAtItsEdge([this] { carryOver(); }));
    connect(nextUndone_, &QAction::triggered, this, platform::endingAtItsEdge([this] { goToNextUndone(); }));
    connect(exifDates_, &QAction::triggered, this, platform::endingAtItsEdge([this] { datesFromExif(); }));
    connect(spelling_, &QAction::toggled, this, [this](bool on) {
        album_.state().SpellCheck = on;
        if (spellFields_)
            spellFields_->setEnabled(on);
    });
    progress_->setObjectName(QStringLiteral("LabelProgress"));
    window.statusBar()->addPermanentWidget(progress_);
    connect(&album_, &album::Album::albumReplaced, this, [this] {
        updateCommands();
        showProgress();
    });
    connect(&album_, &album::Album::rowShown, this, &EditCommands::updateCommands);
    connect(&album_, &album::Album::openChanged, this, &EditCommands::updateCommands);
    connect(&album_, &album::Album::captionChanged, this, [this](int, album::Field field) {
        if (field == album::Field::Title)
            showProgress();
    });
    connect(&album_, &album::Album::saveProgress, this, [this](const QString& text) {
        saving_ = !text.isEmpty();
        showProgress();
    });
    updateCommands();
    showProgress();
}

EditCommands::~EditCommands() = default;

void EditCommands::startSpelling(const QString& dictionaryFolder)
{
    useSpellChecker(std::make_shared<SpellChecker>(
        dictionaryFolder, platform::joinPath(album_.state().ProgramDir, QStringLiteral("albisko-slovnik.txt"))));
}

void EditCommands::startSpellingInBackground(const QString& dictionaryFolder)
{
    const QString personal = platform::joinPath(album_.state().ProgramDir, QStringLiteral("albisko-slovnik.txt"));
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
    const bool wanted = album_.state().SpellCheck;
    checker_ = std::move(checker);
    spellFields_ = new SpellFields(*checker_, {fields_.albumName, fields_.title, fields_.name},
                                   {fields_.albumDescription, fields_.description}, this);
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

void EditCommands::updateCommands()
{
    const bool open = album_.state().AlbumOpen;
    carryOver_->setEnabled(open && album_.state().CurrentRow > 0);
    nextUndone_->setEnabled(open);
    exifDates_->setEnabled(open);
}

void EditCommands::showProgress()
{
    progress_->setText(QStringLiteral("Popsáno %1 z %2").arg(album_.titledCount()).arg(album_.table().RowCount()));
    progress_->setVisible(album_.state().AlbumOpen && !saving_);
}

void EditCommands::carryOver()
{
    const int row = album_.state().CurrentRow;
    if (!album_.state().AlbumOpen || row == 0) {
        platform::dialogs().beep();
        return;
    }
    const album::PhotoTable& table = album_.table();
    typeOver(fields_.title, table.Get(album::Field::Title, row - 1));
    typeOver(fields_.description, table.Get(album::Field::Description, row - 1));
}

void EditCommands::goToNextUndone()
{
    if (!album_.state().AlbumOpen)
        return;
    const album::PhotoTable& table = album_.table();
    const int rows = table.RowCount();
    const int current = album_.state().CurrentRow;
    for (int step = 1; step < rows; ++step) {
        const int row = (current + step) % rows;
        if (table.Get(album::Field::Title, row).isEmpty()) {
            album_.goToRow(row);
            // A photo to caption: typing goes on in its title, wherever the cursor was.
            fields_.title->setFocus();
            return;
        }
    }
    platform::dialogs().showNotice(QStringLiteral("Všechny ostatní fotky už mají nadpis."));
}

void EditCommands::datesFromExif()
{
    const album::WorkingState& state = album_.state();
    if (!state.AlbumOpen)
        return;
    if (album_.datesBound()) {
        platform::dialogs().showNotice(
            QStringLiteral("Data fotek jsou svázána s datem alba. Zrušte nejdřív svázání, pak je lze nastavit podle EXIF."));
        return;
    }
    const album::PhotoTable& table = album_.table();
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
    album_.setDates(newDates);
}
