#include "album/AutosaveRecovery.h"

#include "platform/Errors.h"
#include "platform/FileSystem.h"

namespace album {

namespace {

// Whether the album shows the same captions from `a` as from `b`.
bool sameCaptions(const AlbumCaptions& a, const AlbumCaptions& b, const PhotoTable& table)
{
    if (a.name != b.name || a.date != b.date || a.description != b.description || a.rights != b.rights)
        return false;
    PhotoTable fromA = table;
    PhotoTable fromB = table;
    layOver(a, fromA);
    layOver(b, fromB);
    for (int r = 0; r < table.RowCount(); ++r)
        for (Field field : {Field::Title, Field::Name, Field::Date, Field::Description, Field::Rights})
            if (fromA.Get(field, r) != fromB.Get(field, r))
                return false;
    return true;
}

}  // namespace

QString fallbackAutosavePath(const QString& albumDir)
{
    const QString folder = platform::folderName(albumDir);
    return folder.isEmpty() ? QString() : platform::tempFolder() + u'~' + folder + QStringLiteral(".txt");
}

void layOver(const AlbumCaptions& captions, PhotoTable& table)
{
    for (int r = 0; r < table.RowCount() && std::size_t(r) < captions.photos.size(); ++r) {
        const auto& photo = captions.photos[std::size_t(r)];
        if (!photo)
            continue;
        table.Set(Field::Title, r, photo->title);
        for (auto [field, value] : {std::pair{Field::Name, &photo->name}, {Field::Date, &photo->date},
                                    {Field::Rights, &photo->rights}})
            if (!value->isEmpty())
                table.Set(field, r, *value);
        table.Set(Field::Description, r, photo->description);
    }
}

std::optional<RecoverableAutosave> findRecoverableAutosave(const QString& albumDir, const PhotoTable& table,
                                                           const AlbumCaptions& current, QStringList& damaged)
{
    const QString captionPath = platform::joinPath(albumDir, CaptionFileName);
    const QDateTime saved = platform::fileExists(captionPath) ? platform::modificationTime(captionPath) : QDateTime();
    std::optional<RecoverableAutosave> newest;
    for (const QString& path : {platform::joinPath(albumDir, AutosaveFileName), fallbackAutosavePath(albumDir)}) {
        if (!platform::fileExists(path))
            continue;
        const QDateTime modified = platform::modificationTime(path);
        if ((saved.isValid() && modified <= saved) || (newest && modified <= newest->modified))
            continue;
        storage::ProfileFile file = captionFile(path, Encoding::Windows1250);
        AlbumCaptions captions;
        int rights = 0;
        try {
            captions = readCaptions(file, table);
        } catch (const platform::Error&) {
            damaged << path;
            continue;
        }
        if (!file.SectionExists(QStringLiteral("head")) || !platform::tryStrToInt(captions.rights, rights)) {
            damaged << path;
            continue;
        }
        if (sameCaptions(captions, current, table))
            continue;
        newest = RecoverableAutosave{path, modified, std::move(captions),
                                     file.hasByteOrderMark() ? Encoding::Utf8WithBom : Encoding::Windows1250};
    }
    return newest;
}

}  // namespace album
