#include "ui/overview/AlbumOverview.h"

#include "album/Album.h"
#include "picture/ThumbnailMaker.h"
#include "platform/Dialogs.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QToolTip>

using album::Field;

namespace {

constexpr int kPadding = 8;          // around the thumbnail in its tile
constexpr int kFrame = 3;            // the frame of the photo shown
constexpr int kMarkRadius = 8;
const QColor kTitled(0x2e, 0x7d, 0x32);    // the mark of a photo with a title
const QColor kUntitled(0xff, 0xff, 0xff);  // ... without one
const QColor kMarkEdge(0x75, 0x75, 0x75);
const QColor kWaiting(0xe4, 0xe4, 0xe4);   // the thumbnail is being made
const QColor kNoThumbnail(0x9e, 0x9e, 0x9e);  // the photo cannot be shown
const QColor kSelected(0xcc, 0xe0, 0xf6);
const QColor kShownFrame(0x19, 0x76, 0xd2);

}  // namespace

AlbumOverview::AlbumOverview(album::Album& album, picture::ThumbnailMaker& thumbnails, QWidget* parent)
    : QAbstractScrollArea(parent), album_(album), thumbnails_(thumbnails)
{
    setObjectName(QStringLiteral("AlbumOverview"));
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAutoFillBackground(true);
    viewport()->setBackgroundRole(QPalette::Base);
    // Open and an emptied album both end with albumReplaced.
    connect(&album_, &album::Album::albumReplaced, this, &AlbumOverview::albumReplaced);
    connect(&album_, &album::Album::rowShown, this, &AlbumOverview::rowShown);
    connect(&album_, &album::Album::captionChanged, this, [this](int row, Field field) {
        if (field != Field::Title)
            return;
        if (row < 0)
            viewport()->update();
        else
            viewport()->update(tileRect(row));
    });
    connect(&thumbnails_, &picture::ThumbnailMaker::made, this, [this](const QString& path) {
        if (const auto it = asked_.constFind(path); it != asked_.constEnd())
            viewport()->update(tileRect(*it));
    });
    albumReplaced();
}

int AlbumOverview::photoCount() const
{
    return album_.state().AlbumOpen ? album_.table().RowCount() : 0;
}

int AlbumOverview::columns() const
{
    return std::max(1, viewport()->width() / TileWidth);
}

int AlbumOverview::widthFor(int columns)
{
    return columns * TileWidth + 2 * 2 + 18;  // frame and scroll bar, with room to spare
}

QRect AlbumOverview::tileRect(int row) const
{
    const int c = columns();
    return {(row % c) * TileWidth, (row / c) * TileHeight - verticalScrollBar()->value(), TileWidth, TileHeight};
}

QPoint AlbumOverview::markCentre(const QRect& tile)
{
    return {tile.right() - kPadding - kMarkRadius, tile.top() + kPadding + ThumbnailSize + 6 + kMarkRadius};
}

QRect AlbumOverview::thumbnailSquare(const QRect& tile)
{
    return {tile.left() + kPadding, tile.top() + kPadding, ThumbnailSize, ThumbnailSize};
}

std::vector<int> AlbumOverview::selectedRows() const
{
    std::vector<int> rows;
    for (int r = 0; r < int(selected_.size()); ++r)
        if (selected_[std::size_t(r)])
            rows.push_back(r);
    return rows;
}

int AlbumOverview::rowAt(QPoint point) const
{
    const int c = columns();
    const int column = point.x() / TileWidth;
    const int line = (point.y() + verticalScrollBar()->value()) / TileHeight;
    if (point.x() < 0 || point.y() < 0 || column >= c)
        return -1;
    const int row = line * c + column;
    return row < photoCount() ? row : -1;
}

// ---- Following the album ----------------------------------------------------------------

void AlbumOverview::albumReplaced()
{
    selected_.assign(std::size_t(photoCount()), 0);
    anchor_ = focus_ = album_.state().AlbumOpen ? album_.state().CurrentRow : 0;
    if (!selected_.empty())
        selected_[std::size_t(focus_)] = 1;
    verticalScrollBar()->setValue(0);
    layOut();
    makeTheRestLater();
    emit selectionChanged();
}

void AlbumOverview::rowShown(int row)
{
    if (row < 0 || row >= photoCount())
        return;
    focus_ = row;
    scrollTo(row);
    viewport()->update();
}

void AlbumOverview::scrollTo(int row)
{
    const QRect tile = tileRect(row);
    QScrollBar* bar = verticalScrollBar();
    if (tile.top() < 0)
        bar->setValue(bar->value() + tile.top());
    else if (tile.bottom() >= viewport()->height())
        bar->setValue(bar->value() + tile.bottom() + 1 - viewport()->height());
}

void AlbumOverview::layOut()
{
    const int lines = (photoCount() + columns() - 1) / columns();
    QScrollBar* bar = verticalScrollBar();
    bar->setRange(0, std::max(0, lines * TileHeight - viewport()->height()));
    bar->setPageStep(viewport()->height());
    bar->setSingleStep(TileHeight / 4);
    askForThumbnails();
    viewport()->update();
}

std::pair<int, int> AlbumOverview::rowsInView() const
{
    const int c = columns();
    const int top = verticalScrollBar()->value();
    const int firstLine = top / TileHeight;
    const int lastLine = (top + std::max(1, viewport()->height()) - 1) / TileHeight;
    return {std::min(photoCount(), firstLine * c), std::min(photoCount(), (lastLine + 1) * c)};
}

void AlbumOverview::askForThumbnails()
{
    QStringList wanted;
    asked_.clear();
    const int count = photoCount();
    if (isVisible() && count > 0) {
        // The tiles in view first, then a screenful below and one above (where the user scrolls).
        const auto [first, end] = rowsInView();
        const int inView = end - first;
        const auto ask = [&](int r) {
            wanted << album_.photoPath(r);
            asked_.insert(wanted.last(), r);
        };
        for (int r = first; r < end; ++r)
            ask(r);
        for (int r = end; r < std::min(count, end + inView); ++r)
            ask(r);
        for (int r = first - 1; r >= std::max(0, first - inView); --r)
            ask(r);
    }
    thumbnails_.want(wanted);
}

void AlbumOverview::makeTheRestLater()
{
    if (isVisible() && photoCount() > 0)
        thumbnails_.makeLater(photoCount(), [this](int row) { return album_.photoPath(row); });
    else
        thumbnails_.makeLater(0, {});
    emit selectionChanged();  // out of sight
}

void AlbumOverview::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    layOut();
    if (album_.state().AlbumOpen)
        scrollTo(album_.state().CurrentRow);
}

void AlbumOverview::scrollContentsBy(int, int)
{
    askForThumbnails();
    viewport()->update();
}

void AlbumOverview::showEvent(QShowEvent* event)
{
    QAbstractScrollArea::showEvent(event);
    askForThumbnails();
    makeTheRestLater();
    emit selectionChanged();  // a selection in sight again
}

void AlbumOverview::hideEvent(QHideEvent* event)
{
    QAbstractScrollArea::hideEvent(event);
    thumbnails_.want({});
    thumbnails_.makeLater(0, {});
    emit selectionChanged();  // out of sight
}

// ---- Painting ---------------------------------------------------------------------------

void AlbumOverview::paintEvent(QPaintEvent* event)
{
    QPainter painter(viewport());
    const int count = photoCount();
    if (count == 0)
        return;
    const int c = columns();
    const QRect dirty = event->rect();
    const int firstLine = std::max(0, (dirty.top() + verticalScrollBar()->value()) / TileHeight);
    const int lastLine = (dirty.bottom() + verticalScrollBar()->value()) / TileHeight;
    for (int line = firstLine; line <= lastLine; ++line)
        for (int column = 0; column < c; ++column) {
            const int row = line * c + column;
            if (row >= count)
                return;
            paintTile(painter, row, tileRect(row));
        }
}

void AlbumOverview::paintTile(QPainter& painter, int row, const QRect& tile)
{
    if (std::size_t(row) < selected_.size() && selected_[std::size_t(row)])
        painter.fillRect(tile.adjusted(1, 1, -1, -1), kSelected);
    const QRect square = thumbnailSquare(tile);
    const std::optional<QImage> thumbnail = thumbnails_.find(album_.photoPath(row));
    if (!thumbnail) {
        painter.fillRect(square, kWaiting);
    } else if (thumbnail->isNull()) {
        painter.fillRect(square, kNoThumbnail);
        painter.setPen(QPen(Qt::white, 4));
        const QRect cross = QRect(0, 0, 32, 32).translated(square.center() - QPoint(16, 16));
        painter.drawLine(cross.topLeft(), cross.bottomRight());
        painter.drawLine(cross.topRight(), cross.bottomLeft());
    } else {
        QRect place(QPoint(), thumbnail->size().scaled(square.size(), Qt::KeepAspectRatio).boundedTo(square.size()));
        place.moveCenter(square.center());
        painter.drawImage(place, *thumbnail);
    }

    painter.setRenderHint(QPainter::Antialiasing, true);
    const QPoint centre = markCentre(tile);
    const bool titled = !album_.table().Get(Field::Title, row).isEmpty();
    painter.setPen(QPen(titled ? kTitled : kMarkEdge, 1.5));
    painter.setBrush(titled ? kTitled : kUntitled);
    painter.drawEllipse(centre, kMarkRadius, kMarkRadius);
    if (titled) {
        QPainterPath tick;
        tick.moveTo(centre + QPointF(-4, 0));
        tick.lineTo(centre + QPointF(-1, 3.5));
        tick.lineTo(centre + QPointF(4.5, -3.5));
        painter.setPen(QPen(Qt::white, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(tick);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);

    painter.setPen(palette().color(QPalette::Text));
    const QRect numberPlace(tile.left() + kPadding, centre.y() - kMarkRadius, TileWidth - 3 * kPadding - 2 * kMarkRadius,
                            2 * kMarkRadius);
    painter.drawText(numberPlace, Qt::AlignLeft | Qt::AlignVCenter, QString::number(row + 1));

    if (row == album_.state().CurrentRow) {
        painter.setPen(QPen(kShownFrame, kFrame));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(tile.adjusted(2, 2, -2, -2));
    } else if (row == focus_ && hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(tile.adjusted(2, 2, -3, -3));
    }
}

bool AlbumOverview::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const int row = rowAt(help->pos());
        if (row < 0) {
            QToolTip::hideText();
            return true;
        }
        QString tip = album_.table().Get(Field::FileName, row);
        if (const QString& title = album_.table().Get(Field::Title, row); !title.isEmpty())
            tip += QLatin1Char('\n') + title;
        QToolTip::showText(help->globalPos(), tip, viewport(), tileRect(row));
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

// ---- Input -----------------------------------------------------------------------------

void AlbumOverview::goTo(int row)
{
    selectOnly(row);
    try {
        album_.goToRow(row);
    } catch (const std::exception& e) {
        platform::reportError(e);
    }
}

void AlbumOverview::selectOnly(int row)
{
    std::fill(selected_.begin(), selected_.end(), 0);
    selected_[std::size_t(row)] = 1;
    anchor_ = focus_ = row;
    viewport()->update();
    emit selectionChanged();
}

void AlbumOverview::selectRange(int from, int to)
{
    std::fill(selected_.begin(), selected_.end(), 0);
    for (int r = std::min(from, to); r <= std::max(from, to); ++r)
        selected_[std::size_t(r)] = 1;
    focus_ = to;
    viewport()->update();
    emit selectionChanged();
}

void AlbumOverview::mousePressEvent(QMouseEvent* event)
{
    selected_.resize(std::size_t(photoCount()), 0);
    const int row = rowAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || row < 0)
        return QAbstractScrollArea::mousePressEvent(event);
    if (event->modifiers() & Qt::ShiftModifier) {
        selectRange(anchor_, row);
    } else if (event->modifiers() & Qt::ControlModifier) {
        selected_[std::size_t(row)] = !selected_[std::size_t(row)];
        anchor_ = focus_ = row;
        viewport()->update();
        emit selectionChanged();
    } else {
        goTo(row);
    }
}

void AlbumOverview::keyPressEvent(QKeyEvent* event)
{
    const int count = photoCount();
    selected_.resize(std::size_t(count), 0);
    focus_ = std::min(focus_, count - 1);
    if (count == 0)
        return QAbstractScrollArea::keyPressEvent(event);
    const int c = columns();
    const int page = std::max(1, viewport()->height() / TileHeight) * c;
    int target = -1;
    switch (event->key()) {
    case Qt::Key_Left: target = focus_ - 1; break;
    case Qt::Key_Right: target = focus_ + 1; break;
    case Qt::Key_Up: target = focus_ - c; break;
    case Qt::Key_Down: target = focus_ + c; break;
    case Qt::Key_PageUp: target = focus_ - page; break;
    case Qt::Key_PageDown: target = focus_ + page; break;
    case Qt::Key_Home: target = 0; break;
    case Qt::Key_End: target = count - 1; break;
    case Qt::Key_Return:
    case Qt::Key_Enter: goTo(focus_); return;
    case Qt::Key_Space:
        if (event->modifiers() & Qt::ControlModifier) {
            selected_[std::size_t(focus_)] = !selected_[std::size_t(focus_)];
            anchor_ = focus_;
            viewport()->update();
            emit selectionChanged();
            return;
        }
        [[fallthrough]];
    default: return QAbstractScrollArea::keyPressEvent(event);
    }
    target = std::clamp(target, 0, count - 1);
    if (event->modifiers() & Qt::ShiftModifier) {
        selectRange(anchor_, target);
        scrollTo(target);
    } else if (event->modifiers() & Qt::ControlModifier) {
        focus_ = target;
        scrollTo(target);
        viewport()->update();
    } else {
        goTo(target);
    }
}
