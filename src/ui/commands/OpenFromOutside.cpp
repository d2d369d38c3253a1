#include "ui/commands/OpenFromOutside.h"

#include "album/Album.h"
#include "platform/Dialogs.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace {

// The one local path of a drag, or nothing.
QString droppedPath(const QMimeData* data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().front().isLocalFile())
        return QString();
    return data->urls().front().toLocalFile();
}

// Opens the album of `path` (a folder, or a photo: its folder, at that photo) through Open.
void openAt(album::Album& album, const QString& path)
{
    const QString folder = folderOfDrop(path);
    album.open(folder);
    const QFileInfo photo(path);
    if (!photo.isFile() || !album.state().AlbumOpen || album.state().AlbumDir != QDir::cleanPath(folder))
        return;  // a folder, or Open did not open that album
    const album::PhotoTable& table = album.table();
    for (int row = 0; row < table.RowCount(); ++row) {
        if (table.Get(album::Field::FileName, row) == photo.fileName()) {
            if (row != album.state().CurrentRow)
                album.goToRow(row);
            return;
        }
    }
}

class DropOpener : public QObject {
public:
    DropOpener(QWidget& window, album::Album& album) : QObject(&window), album_(album) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            auto* drag = static_cast<QDropEvent*>(event);
            if (!folderOfDrop(droppedPath(drag->mimeData())).isEmpty())
                drag->acceptProposedAction();
            return true;
        }
        if (event->type() != QEvent::Drop)
            return false;
        auto* drop = static_cast<QDropEvent*>(event);
        const QString folder = folderOfDrop(droppedPath(drop->mimeData()));
        if (folder.isEmpty())
            return true;
        drop->acceptProposedAction();
        // Opened once the drop is over: Open may ask questions, which must not run inside the
        // desktop's drag and drop.
        QTimer::singleShot(0, this, [album = &album_, path = droppedPath(drop->mimeData())] {
            platform::endingAtItsEdge([album, path] { openAt(*album, path); })();
        });
        return true;
    }

private:
    album::Album& album_;
};

}  // namespace

QString folderOfDrop(const QString& path)
{
    if (path.isEmpty())
        return QString();
    const QFileInfo info(path);
    if (info.isDir())
        return info.absoluteFilePath();
    if (info.isFile() && info.suffix().compare(QLatin1String("jpg"), Qt::CaseInsensitive) == 0)
        return info.absolutePath();
    return QString();
}

void openFromCommandLine(album::Album& album, const QString& path)
{
    if (folderOfDrop(path).isEmpty()) {
        platform::dialogs().showWarning(
            QStringLiteral("%1 není složka s fotkami ani fotka, kterou by šlo otevřít.").arg(QDir::toNativeSeparators(path)));
        return;
    }
    platform::endingAtItsEdge([&album, path] { openAt(album, path); })();
}

void openDroppedAlbums(QWidget& window, album::Album& album)
{
    window.setAcceptDrops(true);
    window.installEventFilter(new DropOpener(window, album));
}

RecentAlbums::RecentAlbums(album::Album& album, QMenu* fileMenu, QAction* before)
    : QObject(fileMenu), album_(album), menu_(new QMenu(QStringLiteral("&Nedávná alba"), fileMenu))
{
    menu_->setObjectName(QStringLiteral("MenuRecent"));
    fileMenu->insertMenu(before, menu_);
    fileMenu->insertSeparator(before);
    connect(menu_, &QMenu::aboutToShow, this, &RecentAlbums::fill);
    connect(&album_, &album::Album::albumReplaced, this, &RecentAlbums::fill);  // an album opened goes to the top
    fill();
}

void RecentAlbums::fill()
{
    menu_->clear();
    const QStringList& albums = album_.state().RecentAlbums;
    for (const QString& folder : albums) {
        QAction* action = menu_->addAction(QDir::toNativeSeparators(folder));
        action->setEnabled(QFileInfo(folder).isDir());  // gone: shown, not offered
        connect(action, &QAction::triggered, this, [album = &album_, folder] {
            platform::endingAtItsEdge([album, folder] { album->open(folder); })();
        });
    }
    menu_->setEnabled(!albums.isEmpty());
}
