// Part of Open: offering back the captions of an autosave file that a crash left behind.
#include "album/AutosaveRecovery.h"
#include "platform/Dialogs.h"
#include "platform/FileSystem.h"
#include "ui/TForm1.h"

namespace {

QString dateAndTime(const QDateTime& time)
{
    return platform::shortDate(time) + u' ' + time.toLocalTime().toString(QStringLiteral("H:mm:ss"));
}

}  // namespace

bool TForm1::offerAutosaveBack(album::AlbumCaptions& captions)
{
    QStringList damaged;
    auto autosave = album::findRecoverableAutosave(state_.AlbumDir, StringGrid1, captions, damaged);
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
            .arg(autosave->path, dateAndTime(autosave->modified), album::CaptionFileName));
    if (!restore)
        return false;
    if (!state_.CaptionFileFound && autosave->encoding != state_.CaptionEncoding) {
        // Without "info.txt" the album takes the autosave file's encoding, and with it its
        // section names.
        state_.CaptionEncoding = autosave->encoding;
        const QStringList keys = album::sectionNames(StringGrid1, state_.CaptionEncoding);
        for (int r = 0; r < StringGrid1.RowCount(); ++r)
            StringGrid1.Set(album::Field::Key, r, keys[r]);
        storage::ProfileFile file = album::captionFile(autosave->path, state_.CaptionEncoding);
        autosave->captions = album::readCaptions(file, StringGrid1);
    }
    captions = std::move(autosave->captions);
    return true;
}
