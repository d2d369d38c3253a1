#pragma once

#include "picture/PhotoDecoding.h"
#include "picture/ThumbnailMaker.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <atomic>
#include <memory>
#include <optional>
#include <vector>

namespace picture {

// What identifies the state of a file: a picture decoded from it is handed out only while the
// file is still the one that was read (the same device and inode, size, modification time and
// change time), so that a photo replaced by another of the same size and time is decoded again.
struct FileStamp {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 modified = 0;  // nanoseconds
    qint64 changed = 0;
    bool operator==(const FileStamp&) const = default;
    static FileStamp of(const QString& path);
};

// The one decoder of every picture the program shows: the preview, the full-screen view, the
// big preview, and the thumbnails of the album's overview. Each view is a client that says which
// photo it shows now and which it will likely show next, at the size it shows them (want). The
// service decodes on one worker thread:
// - the photos the views show now go first; the ones ahead only when none of those waits;
// - a photo wanted by several views is decoded once, at the largest size any of them wants, and
//   scaled down for the others;
// - a decoding no view wants any more is stopped (or dropped before it starts);
// - the pictures decoded share one memory budget, the least recently used going first.
// It tells the views through `decoded` and `failed`; they then take the picture (find). A photo
// decoded ahead that failed is not reported: it is decoded again when a view shows it, and its
// error is reported then. Everything here runs on the GUI thread except the decoding itself.
// The thumbnails are made on workers of their own (thumbnails()), which leave a photo a view shows
// a processor of its own while it decodes.
class PictureService : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 DefaultBudget = qint64(64) << 20;
    static constexpr std::size_t MostPicturesKept = 16;

    explicit PictureService(qint64 budgetBytes = DefaultBudget);
    ~PictureService() override;  // stops the worker's decoding and waits for it

    // A new client, with nothing wanted yet.
    int addClient();
    // What the client shows now (`path`, empty for nothing) and next (`ahead`, nearest first), at
    // the size `sizeFor` gives; replaces what it asked before.
    void want(int client, const QString& path, const PictureSizeFor& sizeFor, const QStringList& ahead = {});
    // The client shows nothing: its requests are dropped.
    void release(int client) { want(client, QString(), {}, {}); }

    // A picture of `path` at the size `sizeFor` gives, kept from a decoding (one that is larger is
    // scaled down, and the result kept); empty when there is none or the file has changed since.
    std::optional<PreviewPicture> find(const QString& path, const PictureSizeFor& sizeFor);

    // For tests and benchmarks: decodes everything wanted and ahead now and hands the results
    // out (the signals are emitted) before it returns.
    void waitForAll();
    // Drops every picture kept (to measure decoding on the spot).
    void forget();
    // Photos decoded to the end since the start (a decoding stopped on the way does not count).
    int decodeCount() const { return decodes_; }
    // True while `path` is queued or being decoded.
    bool isPending(const QString& path) const;
    qint64 keptBytes() const { return keptBytes_; }
    ThumbnailMaker& thumbnails() { return thumbnails_; }

signals:
    // The worker begins to decode `path` (the order shows what goes first).
    void started(const QString& path);
    // A photo that a client wants now was decoded: its picture can be found.
    void decoded(const QString& path);
    // A photo that a client wants now could not be decoded; `message` is the error's.
    void failed(const QString& path, const QString& message);

private:
    struct Request {
        QString path;
        PictureSizeFor sizeFor;
        QStringList ahead;
    };
    struct Kept {
        QString path;
        FileStamp stamp;
        PreviewPicture picture;
    };
    struct Outcome {
        bool ok = false;
        bool stopped = false;
        FileStamp stamp;
        std::vector<PreviewPicture> pictures;  // the largest first
        QString message;
    };
    struct Running {
        int id = 0;
        QString path;
        bool wanted = false;  // a client shows it now
        std::shared_ptr<std::atomic_bool> stop;
        std::shared_ptr<Outcome> outcome;
        std::shared_ptr<std::atomic_bool> done;
    };

    void scheduleSoon();
    void schedule();
    bool isWantedNow(const QString& path) const;
    bool isWantedAtAll(const QString& path) const;
    bool isServed(const QString& path) const;
    std::vector<PictureSizeFor> sizesFor(const QString& path) const;
    void start(const QString& path, bool wanted);
    void finish(int id);
    std::optional<std::size_t> keptIndex(const QString& path, const FileStamp& stamp) const;
    void keep(const QString& path, const FileStamp& stamp, PreviewPicture picture);
    void trim();

    QThreadPool pool_;
    QHash<int, Request> clients_;
    int nextClient_ = 1;
    std::optional<Running> running_;
    int nextJob_ = 1;
    bool scheduled_ = false;
    QHash<QString, FileStamp> failed_;  // decodings that failed: tried again only when shown anew
    std::vector<Kept> kept_;                 // the most recently used last
    qint64 keptBytes_ = 0;
    qint64 budget_;
    int decodes_ = 0;
    std::atomic_bool decodingShown_ = false;  // the worker decodes a photo a view shows now
    ThumbnailMaker thumbnails_;
};

}  // namespace picture
