#pragma once

#include <QAbstractScrollArea>
#include <QHash>
#include <utility>
#include <vector>

namespace album { class Album; }
namespace picture { class ThumbnailMaker; }

// "Přehled alba": a tile for every photo of the open album, in the album's order: its thumbnail
// (a grey tile with a cross where it has none), its number and a mark whether it has a title
// (green with a tick: it has one; an empty circle: not yet). The photo shown is framed; photos
// selected for a command over several photos are tinted.
// - A click, the arrow keys, Home, End, PgUp and PgDn go to that photo as the navigation buttons
//   do; the selection is then that photo alone.
// - Ctrl+click adds a photo to the selection or takes it out; Shift+click selects every photo
//   from the last one clicked; neither moves away from the photo shown. Ctrl with the arrow keys
//   moves the focus without going there, Ctrl+Space selects the focused photo, Enter goes to it.
// It follows the album: the marks as titles are typed, the photo shown (scrolled into view), an
// album opened or closed. Only the thumbnails in view and a screenful around are asked for (and
// kept); the rest are made into the desktop's cache after them, while the overview is shown.
class AlbumOverview : public QAbstractScrollArea {
    Q_OBJECT
public:
    static constexpr int TileWidth = 144;
    static constexpr int TileHeight = 164;
    static constexpr int ThumbnailSize = 128;

    AlbumOverview(album::Album& album, picture::ThumbnailMaker& thumbnails, QWidget* parent = nullptr);

    int photoCount() const;
    int columns() const;
    // The tile of `row` in the viewport's coordinates (outside it when scrolled away).
    QRect tileRect(int row) const;
    // The mark's centre in the tile, and the thumbnail's square.
    static QPoint markCentre(const QRect& tile);
    static QRect thumbnailSquare(const QRect& tile);
    // The rows whose tiles are in view, wholly or in part: from the first to the end (not included).
    std::pair<int, int> rowsInView() const;
    // The photos selected, in the album's order.
    std::vector<int> selectedRows() const;
    // The width that `columns` columns of tiles take, with the frame and the scroll bar.
    static int widthFor(int columns);

signals:
    // The selection changed, or came into sight or went out of it.
    void selectionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void albumReplaced();
    void rowShown(int row);
    int rowAt(QPoint point) const;
    void goTo(int row);
    void selectOnly(int row);
    void selectRange(int from, int to);
    void scrollTo(int row);
    void layOut();
    void askForThumbnails();
    void makeTheRestLater();
    void paintTile(QPainter& painter, int row, const QRect& tile);

    album::Album& album_;
    picture::ThumbnailMaker& thumbnails_;
    std::vector<char> selected_;
    int anchor_ = 0;  // where a Shift+click's range starts
    int focus_ = 0;   // the tile the keys move from
    QHash<QString, int> asked_;  // the rows of the photos whose thumbnails were asked for
};
