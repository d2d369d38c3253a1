#include "album/FolderScan.h"

#include "album/Captions.h"

namespace album {

QString keyOf(const QString& fileName)
{
    return fileName.left(qMax<qsizetype>(0, fileName.size() - 4));
}

QList<platform::FolderEntry> listPhotos(const QString& folder)
{
    return platform::listFolder(folder.isEmpty() ? QStringLiteral("/") : folder, QStringLiteral(".jpg"));
}

namespace {

void fillRow(PhotoTable& table, int row, const platform::FolderEntry& entry, Encoding encoding)
{
    table.Set(Field::FileName, row, entry.name);
    table.Set(Field::Name, row, holdable(keyOf(entry.name), encoding));
    table.Set(Field::Date, row, platform::shortDate(entry.modified));
    table.Set(Field::Rights, row, QStringLiteral("0"));
}

}  // namespace

void fillTable(const QList<platform::FolderEntry>& photos, PhotoTable& table, Encoding encoding)
{
    if (photos.isEmpty())
        return;
    fillRow(table, 0, photos.front(), encoding);
    for (qsizetype i = 1; i < photos.size(); ++i) {
        if (photos[i].name.startsWith(QLatin1String("tn")))
            continue;
        table.AppendRow();
        fillRow(table, table.RowCount() - 1, photos[i], encoding);
    }
    const QStringList keys = sectionNames(table, encoding);
    for (int r = 0; r < table.RowCount(); ++r)
        table.Set(Field::Key, r, keys[r]);
}

}  // namespace album
