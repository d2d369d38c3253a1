// The open album: Open, its captions laid over the scanned photos, the autosave file offered
// back, and the empty state.
#include "album/Album.h"

#include "album/AutosaveRecovery.h"
#include "album/AutosaveTimer.h"
#include "album/FolderScan.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"

#include <QDir>
#include <QScopeGuard>

namespace album {

namespace {

QString dateAndTime(const QDateTime& time)
{
    return platform::shortDate(time) + u' ' + time.toLocalTime().toString(QStringLiteral("H:mm:ss"));
}

}  // namespace

void Album::open(const std::optional<QString>& given)
{
    openUnderWay_ = true;
    const auto openEnds = qScopeGuard([this] { openUnderWay_ = false; });
    // When the save offered here fails, the album stays as it is (it can still be saved
    // elsewhere): opening another would lose it.
    if (!offerToSave())
        return;
    deleteAutosaveFile();
    state_.CurrentRow = 0;
    const OpenChoices choices = choices_ ? choices_() : OpenChoices{state_.SaveLastDir, state_.AutoSave};
    if (!choices.keepLastFolder)
        state_.AlbumDir = state_.DefaultDir;
    if (!platform::folderExists(state_.AlbumDir))
        state_.AlbumDir.clear();
    // A folder given from outside (the command line, a drop) stands for the picker's answer.
    if (auto chosen = given ? given : platform::dialogs().pickFolder(state_.AlbumDir))
        state_.AlbumDir = QDir::cleanPath(*chosen);
    const QString captionPath = platform::joinPath(state_.AlbumDir, CaptionFileName);
    state_.CaptionFileFound = platform::fileExists(captionPath);
    state_.CaptionEncoding = state_.CaptionFileFound ? captionEncodingOf(captionPath) : Encoding::Windows1250;
    state_.AutosaveDir = state_.AlbumDir;
    state_.AutosaveName = AutosaveFileName;
    switchAutosaveTimer(Timer1, choices.autosave);
    StringGrid1.Reset();
    datesBackedUp_ = false;
    const auto photos = listPhotos(state_.AlbumDir);
    if (photos.isEmpty())
        showEmptyState();
    else
        showAlbum(photos);
}

// The photos branch of Open.
void Album::showAlbum(const QList<platform::FolderEntry>& photos)
{
    forgetUndo();
    state_.AlbumOpen = true;
    emit openChanged(true);
    // Setting the album fields counts as an edit: the album becomes modified when they change.
    fill(Shown::AlbumName, holdable(platform::folderName(state_.AlbumDir), state_.CaptionEncoding));
    fill(Shown::AlbumDate, platform::shortDate(photos.front().modified));
    const QList<QStringList> shared = fillTable(photos, StringGrid1, state_.CaptionEncoding);
    AlbumCaptions inFile;
    try {
        inFile = ReadCaptions(state_.AlbumDir, state_.CaptionFileFound);
    } catch (...) {
        // The rows lack the captions of "info.txt": nothing of this half-read album may ever be
        // saved over it. Back to the empty state, then report.
        StringGrid1.Reset();
        showEmptyState();
        throw;
    }
    QStringList& recent = state_.RecentAlbums;
    recent.removeAll(state_.AlbumDir);
    recent.prepend(state_.AlbumDir);
    while (recent.size() > 8)
        recent.removeLast();
    countTitles();
    emit albumReplaced();
    // The album is complete from here on: a photo that cannot be shown, or a photo right that
    // is not a number, is reported once the first row is shown.
    if (!shared.isEmpty()) {
        QStringList groups;
        for (const QStringList& group : shared)
            groups << group.join(QStringLiteral(", "));
        platform::dialogs().showWarning(
            QStringLiteral("Tyto fotky by v souboru %1 měly stejný oddíl: %2. Popisky každé z nich se ukládají "
                           "zvlášť; druhá a další jsou v oddílu pojmenovaném celým názvem souboru.")
                .arg(CaptionFileName, groups.join(QStringLiteral("; "))));
    }
    // Settled however showing the first row ends: its photo or its rights may fail.
    const auto settle = qScopeGuard([this, &inFile] { settleModifiedAfterOpen(inFile); });
    showCurrentRow(true);
}

void Album::settleModifiedAfterOpen(const AlbumCaptions& inFile)
{
    // The album is modified only where a save would write something that "info.txt" (read as
    // `inFile`) does not hold already, never merely because Open filled the fields. Save As is
    // available either way.
    if (!fileHoldsAlbum(inFile, header(), StringGrid1)) {
        MarkModified();
        return;
    }
    setModified(false);
    setSaveOffers(false, true);
}

// The no-photos branch of Open: the empty state.
void Album::showEmptyState()
{
    forgetUndo();
    state_.AlbumOpen = false;
    setModified(false);
    emit openChanged(false);
    setSaveOffers(false, false);
    ResetRights();
    fill(Shown::AlbumName, QString());
    fill(Shown::AlbumDate, QString());
    fill(Shown::AlbumDescription, QString());
    fill(Shown::Title, QString());
    fill(Shown::Name, QString());
    fill(Shown::Date, QString());
    fill(Shown::Description, QString());
    countTitles();
    emit albumReplaced();
}

AlbumCaptions Album::ReadCaptions(const QString& folder, bool found)
{
    // What the album shows without a caption file: the defaults of the scan.
    AlbumCaptions captions{shown(Shown::AlbumName), shown(Shown::AlbumDate), QString(), QStringLiteral("0"), {}};
    if (found) {
        storage::ProfileFile file = captionFile(platform::joinPath(folder, CaptionFileName), state_.CaptionEncoding);
        captions = readCaptions(file, StringGrid1);
    }
    const bool recovered = offerAutosaveBack(captions);
    if (recovered)
        captions.complete = false;  // the recovered captions are not in "info.txt" yet
    if (!found && !recovered) {
        fill(Shown::AlbumDescription, QString());
        fill(Shown::Description, QString());
        ResetRights();
        return captions;
    }
    // Every album starts from reset rights: a right of the album opened before never carries over.
    ResetRights();
    fill(Shown::AlbumName, captions.name);
    fill(Shown::AlbumDate, captions.date);
    fill(Shown::AlbumDescription, captions.description);
    const int rights = platform::strToInt(captions.rights);
    if (rights > 0) {
        setRightsSwitchedOn(true);
        fillRights(Shown::AlbumRights, rights);
    }
    layOver(captions, StringGrid1);
    if (recovered)
        MarkModified();  // the recovered captions are not in "info.txt" yet
    return captions;
}

// Offers back the captions of an autosave file that a crash left behind, where it holds other
// captions than `captions` (what "info.txt" holds, or the defaults); on Yes they replace
// `captions` and the result is true.
bool Album::offerAutosaveBack(AlbumCaptions& captions)
{
    QStringList damaged;
    auto autosave = findRecoverableAutosave(state_.AlbumDir, StringGrid1, captions, damaged);
    for (const QString& path : damaged)
        platform::dialogs().showWarning(
            QStringLiteral("Soubor automatického uložení %1 je poškozený nebo ho nelze přečíst; popisky se z něj "
                           "obnovit nedají.")
                .arg(path));
    if (!autosave)
        return false;
    const bool restore = platform::dialogs().askYesNo(
        QStringLiteral("Obnovit popisky?"),
        QStringLiteral("Soubor %1 z %2 obsahuje automaticky uložené popisky, které nejsou uložené v souboru %3 "
                       "(program byl nejspíš ukončen bez uložení). Chcete popisky obnovit z tohoto souboru?")
            .arg(autosave->path, dateAndTime(autosave->modified), CaptionFileName));
    if (!restore)
        return false;
    if (!state_.CaptionFileFound && autosave->encoding != state_.CaptionEncoding) {
        // Without "info.txt" the album takes the autosave file's encoding, and with it its
        // section names.
        state_.CaptionEncoding = autosave->encoding;
        const QStringList keys = sectionNames(StringGrid1, state_.CaptionEncoding);
        for (int r = 0; r < StringGrid1.RowCount(); ++r)
            StringGrid1.Set(Field::Key, r, keys[r]);
        storage::ProfileFile file = captionFile(autosave->path, state_.CaptionEncoding);
        autosave->captions = readCaptions(file, StringGrid1);
    }
    captions = std::move(autosave->captions);
    return true;
}

}  // namespace album
