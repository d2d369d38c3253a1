#include "ui/OpenFromOutside.h"

#include "platform/Dialogs.h"
#include "ui/TForm1.h"
#include "ui_TForm1.h"

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
void openAt(TForm1& window, const QString& path)
{
    const QString folder = folderOfDrop(path);
    window.openAlbum(folder);
    const QFileInfo photo(path);
    if (!photo.isFile() || !window.state().AlbumOpen || window.state().AlbumDir != QDir::cleanPath(folder))
        return;  // a folder, or Open did not open that album
    const album::PhotoTable& table = window.table();
    for (int row = 0; row < table.RowCount(); ++row) {
        if (table.Get(album::Field::FileName, row) == photo.fileName()) {
            if (row != window.state().CurrentRow)
                window.goToRow(row);
            return;
        }
    }
}

class DropOpener : public QObject {
public:
    explicit DropOpener(TForm1& window) : QObject(&window), window_(window) {}

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
        QTimer::singleShot(0, &window_, [window = &window_, path = droppedPath(drop->mimeData())] {
            platform::endingAtItsEdge([window, path] { openAt(*window, path); })();
        });
        return true;
    }

private:
    TForm1& window_;
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

void openFromCommandLine(TForm1& window, const QString& path)
{
    if (folderOfDrop(path).isEmpty()) {
        platform::dialogs().showWarning(
            QStringLiteral("%1 není složka s fotkami ani fotka, kterou by šlo otevřít.").arg(QDir::toNativeSeparators(path)));
        return;
    }
    platform::endingAtItsEdge([&window, path] { openAt(window, path); })();
}

void openDroppedAlbums(TForm1& window)
{
    window.setAcceptDrops(true);
    window.installEventFilter(new DropOpener(window));
}

RecentAlbums::RecentAlbums(TForm1& window)
    : QObject(&window), window_(window), menu_(new QMenu(QStringLiteral("&Nedávná alba"), &window))
{
    menu_->setObjectName(QStringLiteral("MenuRecent"));
    window.ui().MenuFile->insertMenu(window.ui().MenuClose, menu_);
    window.ui().MenuFile->insertSeparator(window.ui().MenuClose);
    connect(menu_, &QMenu::aboutToShow, this, &RecentAlbums::fill);
    fill();
}

void RecentAlbums::remember(const QString& folder)
{
    QStringList& albums = window_.state().RecentAlbums;
    albums.removeAll(folder);
    albums.prepend(folder);
    while (albums.size() > 8)
        albums.removeLast();
    fill();
}

void RecentAlbums::fill()
{
    menu_->clear();
    const QStringList& albums = window_.state().RecentAlbums;
    for (const QString& folder : albums) {
        QAction* action = menu_->addAction(QDir::toNativeSeparators(folder));
        action->setEnabled(QFileInfo(folder).isDir());  // gone: shown, not offered
        connect(action, &QAction::triggered, &window_, [window = &window_, folder] {
            platform::endingAtItsEdge([window, folder] { window->openAlbum(folder); })();
        });
    }
    menu_->setEnabled(!albums.isEmpty());
}
