#pragma once

#include "picture/ThumbnailCache.h"

#include <QHash>
#include <QMutex>
#include <QImage>
#include <QObject>
#include <QStringList>
#include <QThreadPool>
#include <atomic>
#include <functional>
#include <optional>

namespace picture {

// The thumbnails a view of many photos shows, made on worker threads (one per core): taken from
// the desktop's thumbnail cache, or made and stored there. The view says which photos it wants,
// those in view first and those around them after (want); only the thumbnails of those are kept
// in memory. Once none of those waits, the rest of the album (makeLater) is made into the cache,
// so that scrolling there later finds them at once; that is done on workers of idle priority,
// which run only on a processor nothing else wants. While `yieldTo` says a photo that a view
// shows is being decoded, only as many workers make thumbnails as leave that decoding a processor
// of its own (one on two cores): the photo the user waits for goes first.
class ThumbnailMaker : public QObject {
    Q_OBJECT
public:
    explicit ThumbnailMaker(ThumbnailCache cache = ThumbnailCache(), std::function<bool()> yieldTo = {},
                            int threads = QThread::idealThreadCount());
    ~ThumbnailMaker() override;  // waits for the thumbnails being made

    // The photos to show thumbnails of, the most wanted first; replaces the earlier list. The
    // thumbnails of photos no longer listed are dropped, and so are those not yet begun.
    void want(const QStringList& paths);
    // The photos to make into the cache when nothing wanted waits: `count` of them, the path of
    // each given by `pathOf` (asked on this thread, one at a time). Replaces the earlier ones;
    // none (0) stops it.
    void makeLater(int count, std::function<QString(int)> pathOf);
    // The photo's thumbnail as kept: none while it is not made yet, a null image where it cannot
    // be made (a damaged or hostile file, one that is no photo).
    std::optional<QImage> find(const QString& path) const;

    // For tests and benchmarks: makes every thumbnail wanted and hands them out before it returns
    // (not those made later).
    void waitForAll();
    // Photos of makeLater still to be made.
    int laterLeft() const { return laterCount_ - laterNext_; }
    // Thumbnails made (or found in the cache) since the start.
    int madeCount() const { return made_; }
    int keptCount() const { return int(kept_.size()); }
    bool idle() const;

signals:
    // The thumbnail of `path` was made: find gives it.
    void made(const QString& path);

private:
    void startMore();
    // On a worker: makes the wanted photos one after another until none is left.
    void work();
    // On an idle worker: makes one photo of the rest of the album.
    void workLater(const QString& path);
    void make(const QString& path);
    void finish(const QString& path, const QImage& image);

    ThumbnailCache cache_;
    std::function<bool()> yieldTo_;
    QThreadPool pool_;       // the wanted photos
    QThreadPool laterPool_;  // the rest of the album
    // Shared with the workers, under the lock: the wanted photos not begun yet (the most wanted
    // first), the photos being made, and how many workers of each kind run.
    mutable QMutex lock_;
    QStringList queue_;
    QHash<QString, bool> running_;
    int workers_ = 0;
    int laterWorkers_ = 0;
    std::atomic_int making_ = 0;  // workers making a thumbnail now (not waiting)
    // The GUI thread's own.
    QHash<QString, bool> wanted_;      // every photo of the last want
    QHash<QString, QImage> kept_;
    int laterCount_ = 0;
    int laterNext_ = 0;
    std::function<QString(int)> laterPath_;
    int made_ = 0;
};

}  // namespace picture
