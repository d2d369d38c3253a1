#pragma once

#include "ui/PhotoPreview.h"

#include <QFuture>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <atomic>
#include <memory>
#include <optional>

namespace ui {

// Decodes the photos the user is likely to look at next (the neighbours of the one shown) on a
// worker thread, so that moving to them shows their picture at once.
//
// A prefetched picture is handed out only while the file is still the one that was read: the
// same file (device and inode) with the same size, modification time and change time, so that
// a photo replaced by another of the same size and time is decoded again. A prefetch that
// failed is never handed out, so the photo is decoded again when shown and its error is
// reported then.
class PreviewPrefetch {
public:
    PreviewPrefetch();
    ~PreviewPrefetch();  // waits for the worker

    // Starts decoding these files (those not already started) and forgets all others.
    void prefetch(const QStringList& paths);
    // The prefetched picture of `path`, waiting for it when its decoding is under way;
    // empty when it was not prefetched, failed, or the file has changed since.
    std::optional<PreviewPicture> take(const QString& path);
    // True once the decoding of `path` has ended (for tests and benchmarks).
    bool isFinished(const QString& path) const;
    void waitForAll();

private:
    struct Stamp {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = -1;
        qint64 modified = 0;  // nanoseconds
        qint64 changed = 0;
        bool operator==(const Stamp&) const = default;
    };
    struct Result {
        bool ok = false;
        Stamp stamp;
        PreviewPicture picture;
    };
    static Stamp stampOf(const QString& path);

    struct Job {
        QFuture<Result> future;
        std::shared_ptr<std::atomic_bool> dropped;  // a job no longer wanted skips its work
    };

    QThreadPool pool_;
    QHash<QString, Job> jobs_;
};

}  // namespace ui
