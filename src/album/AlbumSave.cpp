// The open album: saving, Save As, autosave and its fallback, closing.
#include "album/Album.h"

#include "album/AutosaveRecovery.h"
#include "platform/Dialogs.h"
#include "storage/ProfileFile.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QScopeGuard>

namespace album {

namespace {

const QString kSaveCaption = QStringLiteral("Uložit?");
const QString kSaveQuestion = QStringLiteral(
    "Byla změněna data, vybráním jiné složky před jejich uložením dojde k jejich ztrátě. "
    "Chcete Data nejdříve uložit?");

}  // namespace

bool Album::offerToSave()
{
    // Step one of Open and of closing. True when nothing is left that only the autosave file
    // holds (nothing was unsaved, the user gave the changes up, or they were saved to "info.txt").
    if (!state_.Modified || !platform::dialogs().askYesNo(kSaveCaption, kSaveQuestion))
        return true;
    return WriteCaptions(state_.AlbumDir, CaptionFileName, WriteMode::InFolder);
}

void Album::deleteAutosaveFile()
{
    const QString path = state_.AutosaveDir + u'/' + state_.AutosaveName;
    if (platform::fileExists(path))
        platform::deleteFile(path);
}

bool Album::close()
{
    // When the save offered here fails, the album stays as it is, so the captions can still be
    // saved elsewhere: closing would lose them.
    if (!offerToSave())
        return false;
    deleteAutosaveFile();
    return true;
}

bool Album::WriteCaptions(const QString& folder, const QString& name, WriteMode mode, Existing existing)
{
    const QString path = mode == WriteMode::FullPath ? name : platform::joinPath(folder, name);
    emit busyChanged(true);
    const auto restore = qScopeGuard([this] {
        emit busyChanged(false);
        emit saveProgress(QString());
    });
    const QString progress = QStringLiteral("Probíhá ukládání...");
    emit saveProgress(progress);
    try {
        // One dot per row. The progress is told again only every tenth of a second and at the
        // end, since showing a long text costs its length: a big album would otherwise pay for
        // it quadratically.
        QString status = progress;
        int rows = 0;
        QElapsedTimer sinceShown;
        sinceShown.start();
        const auto afterRow = [&] {
            status += u'.';
            if (++rows == StringGrid1.RowCount() || (rows % 256 == 0 && sinceShown.hasExpired(100))) {
                emit saveProgress(status);
                sinceShown.restart();
            }
        };
        if (existing == Existing::Replace) {
            storage::ProfileWriter file(path, state_.CaptionEncoding);
            writeCaptions(file, header(), StringGrid1, afterRow);
            file.Flush();
        } else {
            storage::ProfileFile file = captionFile(path, state_.CaptionEncoding);
            writeCaptions(file, header(), StringGrid1, afterRow);
            file.Flush();
        }
    } catch (const storage::EIniFileException&) {
        emit busyChanged(false);  // the normal cursor over the message
        emit saveFailed(path);
        if (name != AutosaveFileName)
            platform::dialogs().showMessage(QStringLiteral("Error"), QStringLiteral("Soubor %1 nelze zapsat").arg(path));
        else if (state_.AutosaveDir == folder)
            autosaveFallback(folder);
        return false;
    }
    if (name == CaptionFileName) {
        setModified(false);
        setSaveOffers(false, saveAsOffered_);
    }
    emit saved(path);
    return true;
}

// An autosave into `folder` failed: autosave goes on in the temporary folder, and the album
// is saved there once at once under a name that tells which album it is.
void Album::autosaveFallback(QString folder)
{
    state_.AutosaveDir = platform::tempFolder();
    WriteCaptions(state_.AutosaveDir, QStringLiteral("~%1.txt").arg(platform::folderName(folder)), WriteMode::InFolder);
}

void Album::save()
{
    // "info.txt" gets exactly this album, nothing of the old file; the old file is replaced only
    // once the new one is complete, and the autosave file goes only once the captions are safe.
    if (WriteCaptions(state_.AlbumDir, CaptionFileName, WriteMode::InFolder, Existing::Replace))
        deleteAutosaveFile();
}

void Album::saveAs()
{
    platform::SaveRequest request;
    request.initialFolder = state_.AlbumDir;
    request.initialName = lastSaveAsPath_;
    request.filterDescription = QStringLiteral("Albisko Fotek");
    request.filterPattern = QStringLiteral("txt");
    request.defaultSuffix = QStringLiteral("txt");
    while (auto chosen = platform::dialogs().pickSaveFile(request)) {
        QString path = *chosen;
        if (QFileInfo(path).suffix().isEmpty())
            path += QStringLiteral(".txt");
        // Asked here, not by the picker: only here is the extension added, and the question must
        // name the file that is written. No: the picker again, at that file.
        if (QFileInfo::exists(path)
            && !platform::dialogs().askYesNo(QStringLiteral("Uložit jako"),
                                             QStringLiteral("Soubor %1 již existuje.\nChcete ho přepsat?").arg(path))) {
            request.initialName = path;
            continue;
        }
        lastSaveAsPath_ = path;
        WriteCaptions(QString(), path, WriteMode::FullPath);
        return;
    }
}

void Album::Timer1Timer()
{
    // A tick while Open is under way (its question or folder picker is open) would write the
    // previous album's autosave file again after Open deleted it.
    if (state_.AlbumOpen && state_.AutoSave && !openUnderWay_)
        WriteCaptions(state_.AutosaveDir, state_.AutosaveName, WriteMode::InFolder);
}

}  // namespace album
