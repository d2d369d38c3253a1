#pragma once

#include "ui/picture/PhotoPreview.h"

#include <QFuture>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace ui {

// Decodes the photos the user is likely to look at next (the neighbours of the one shown) on a
// worker thread, so that moving to them shows their picture at once, and keeps the last few
// pictures shown, so that moving back and forth never decodes an unchanged photo twice.
//
// A picture is handed out only while the file is still the one that was read: the same file
// (device and inode) with the same size, modification time and change time, so that a photo
// replaced by another of the same size and time is decoded again. A prefetch that failed is
// never handed out, so the photo is decoded again when shown and its error is reported then.
class PreviewPrefetch {
public:
    // What identifies the state of a file.
    struct Stamp {
        quint64 device = 0;
        quint64 inode = 0;
        qint64 size = -1;
        qint64 modified = 0;  // nanoseconds
        qint64 changed = 0;
        bool operator==(const Stamp&) const = default;
    };
    static Stamp stampOf(const QString& path);

    // Pictures for the preview, or of the size `sizeFor` gives (loadPicture).
    explicit PreviewPrefetch(PictureSizeFor sizeFor = previewPanelSize);
    ~PreviewPrefetch();  // stops the worker's decoding and waits for it

    // Starts decoding these files (those neither kept nor already under way); decodings of all
    // others that are under way are stopped, and those not begun are dropped.
    void prefetch(const QStringList& paths);
    // The picture of `path`, kept or decoded ahead, waiting for it when its decoding is under
    // way; empty when there is none, it failed, or the file has changed since.
    std::optional<PreviewPicture> take(const QString& path);
    // The same without waiting: empty also while the decoding is under way.
    std::optional<PreviewPicture> takeIfReady(const QString& path);
    // True when `path` is being decoded ahead and has not finished.
    bool isUnderWay(const QString& path) const;
    // Keeps a picture decoded on the spot (`stamp` taken before the file was read).
    void remember(const QString& path, const Stamp& stamp, const PreviewPicture& picture);

    // Drops every picture kept or decoded ahead (for benchmarks of decoding on the spot).
    void forget();

    // True once the decoding of `path` has ended (for tests and benchmarks).
    bool isFinished(const QString& path) const;
    void waitForAll();
    // How many photos were decoded to the end, ahead or on the spot (remember), since the start;
    // a decoding stopped because the photo was passed over does not count.
    int decodeCount() const { return decodes_->load(); }

private:
    struct Result {
        bool ok = false;
        Stamp stamp;
        PreviewPicture picture;
    };
    struct Job {
        QFuture<Result> future;
        std::shared_ptr<std::atomic_bool> dropped;  // a job no longer wanted stops its work
    };
    struct Kept {
        QString path;
        Stamp stamp;
        PreviewPicture picture;
    };
    static constexpr std::size_t KeptPictures = 4;  // the photo shown, its neighbours, one more

    std::optional<PreviewPicture> fromJob(QHash<QString, Job>::iterator job);
    std::optional<PreviewPicture> kept(const QString& path);
    void keep(const QString& path, const Stamp& stamp, const PreviewPicture& picture);

    PictureSizeFor sizeFor_;
    QThreadPool pool_;
    QHash<QString, Job> jobs_;
    std::vector<Kept> kept_;  // the most recently used last
    std::shared_ptr<std::atomic_int> decodes_ = std::make_shared<std::atomic_int>(0);
};

}  // namespace ui
