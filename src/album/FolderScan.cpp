#include "album/FolderScan.h"

#include "album/Captions.h"

namespace album {

QList<platform::FolderEntry> listPhotos(const QString& folder)
{
    return platform::listFolder(folder.isEmpty() ? QStringLiteral("/") : folder, QStringLiteral(".jpg"));
}

namespace {

// Fills one row; the photos of a folder share few dates, each of them made into text once.
class RowFiller {
public:
    explicit RowFiller(Encoding encoding) : encoding_(encoding) {}

    void fill(PhotoTable& table, int row, const platform::FolderEntry& entry)
    {
        if (entry.modified != lastDate_ || lastDateText_.isEmpty()) {
            lastDate_ = entry.modified;
            lastDateText_ = platform::shortDate(entry.modified);
        }
        table.Set(Field::FileName, row, entry.name);
        table.Set(Field::Name, row, holdable(keyOf(entry.name), encoding_));
        table.Set(Field::Date, row, lastDateText_);
        table.Set(Field::Rights, row, zero_);
    }

private:
    Encoding encoding_;
    QDate lastDate_;
    QString lastDateText_;
    const QString zero_ = QStringLiteral("0");
};

}  // namespace

QList<QStringList> fillTable(const QList<platform::FolderEntry>& photos, PhotoTable& table, Encoding encoding)
{
    if (photos.isEmpty())
        return {};
    RowFiller filler(encoding);
    table.Reserve(int(photos.size()));
    filler.fill(table, 0, photos.front());
    for (qsizetype i = 1; i < photos.size(); ++i) {
        if (photos[i].name.startsWith(QLatin1String("tn")))
            continue;
        table.AppendRow();
        filler.fill(table, table.RowCount() - 1, photos[i]);
    }
    SectionNaming naming = nameSections(table, encoding);
    for (int r = 0; r < table.RowCount(); ++r) {
        // Mostly the section is named as the photo is: one string for both, not two alike.
        const QString& name = table.Get(Field::Name, r);
        table.Set(Field::Key, r, naming.names[r] == name ? name : naming.names[r]);
    }
    return std::move(naming.shared);
}

}  // namespace album
