#include "picture/PictureService.h"

#include "platform/Errors.h"

#include <QFile>

#include <algorithm>
#include <malloc.h>
#include <sys/stat.h>

namespace picture {

FileStamp FileStamp::of(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    const auto nanoseconds = [](const timespec& t) { return qint64(t.tv_sec) * 1000000000 + t.tv_nsec; };
    return {quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size), nanoseconds(st.st_mtim),
            nanoseconds(st.st_ctim)};
}

namespace {

// The size `sizeFor` gives a photo of width x height; none where it has no size (0 x 0).
std::optional<QSize> sizeOf(const PictureSizeFor& sizeFor, int width, int height)
{
    try {
        return sizeFor(width, height);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool covers(const QImage& image, QSize size)
{
    return image.width() >= size.width() && image.height() >= size.height();
}

}  // namespace

PictureService::PictureService(qint64 budgetBytes)
    : budget_(budgetBytes), thumbnails_(ThumbnailCache(), [this] { return bool(decodingShown_); })
{
    // One worker: on two cores a second decoding would only slow down the one the user waits for.
    pool_.setMaxThreadCount(1);
    // Pictures are large blocks that come and go with every step. glibc raises its threshold for
    // mapping such blocks each time one is freed, and then keeps them in its heaps, where the
    // memory stays with the program; a fixed threshold gives every picture back when it goes.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
}

PictureService::~PictureService()
{
    if (running_)
        *running_->stop = true;
    pool_.waitForDone();
}

int PictureService::addClient()
{
    clients_.insert(nextClient_, {});
    return nextClient_++;
}

void PictureService::want(int client, const QString& path, const PictureSizeFor& sizeFor, const QStringList& ahead)
{
    clients_[client] = {path, sizeFor, ahead};
    if (!path.isEmpty())
        failed_.remove(path);  // a photo shown again is tried again
    // A decoding nobody wants any more stops at once, not only when the worker is looked at.
    if (running_ && !isWantedAtAll(running_->path))
        *running_->stop = true;
    scheduleSoon();
}

void PictureService::scheduleSoon()
{
    // Once the views have all said what they want for this step: a photo wanted by several of
    // them is then decoded once, at the largest size.
    if (scheduled_)
        return;
    scheduled_ = true;
    QMetaObject::invokeMethod(this, [this] {
        if (scheduled_)
            schedule();
    }, Qt::QueuedConnection);
}

bool PictureService::isWantedNow(const QString& path) const
{
    return std::any_of(clients_.begin(), clients_.end(), [&](const Request& r) { return r.path == path; });
}

bool PictureService::isWantedAtAll(const QString& path) const
{
    return std::any_of(clients_.begin(), clients_.end(),
                       [&](const Request& r) { return r.path == path || r.ahead.contains(path); });
}

std::vector<PictureSizeFor> PictureService::sizesFor(const QString& path) const
{
    std::vector<PictureSizeFor> sizes;
    for (const Request& r : clients_)
        if (r.path == path || r.ahead.contains(path))
            sizes.push_back(r.sizeFor);
    return sizes;
}

bool PictureService::isServed(const QString& path) const
{
    const auto it = failed_.constFind(path);
    const FileStamp stamp = FileStamp::of(path);
    if (it != failed_.constEnd() && *it == stamp)
        return true;  // nothing to decode: it failed, and is tried again when shown anew
    for (const PictureSizeFor& sizeFor : sizesFor(path)) {
        const bool covered = std::any_of(kept_.begin(), kept_.end(), [&](const Kept& k) {
            if (k.path != path || !(k.stamp == stamp))
                return false;
            const auto size = sizeOf(sizeFor, k.picture.width, k.picture.height);
            return !size || covers(k.picture.image, *size);
        });
        if (!covered)
            return false;
    }
    return true;
}

void PictureService::schedule()
{
    scheduled_ = false;
    if (running_) {
        if (!isWantedAtAll(running_->path)) {
            *running_->stop = true;  // finish() schedules again
            return;
        }
        running_->wanted = running_->wanted || isWantedNow(running_->path);
        decodingShown_ = running_->wanted;
        if (!running_->wanted) {
            // Decoding ahead while a view waits for another photo: the wait goes first.
            for (const Request& r : clients_)
                if (!r.path.isEmpty() && r.path != running_->path && !isServed(r.path)) {
                    *running_->stop = true;
                    return;
                }
        }
        return;
    }
    for (const Request& r : clients_)
        if (!r.path.isEmpty() && !isServed(r.path))
            return start(r.path, true);
    qsizetype longest = 0;
    for (const Request& r : clients_)
        longest = std::max(longest, r.ahead.size());
    for (qsizetype i = 0; i < longest; ++i)
        for (const Request& r : clients_)
            if (i < r.ahead.size() && !isServed(r.ahead[i]))
                return start(r.ahead[i], false);
}

void PictureService::start(const QString& path, bool wanted)
{
    Running job;
    job.id = nextJob_++;
    job.path = path;
    job.wanted = wanted;
    job.stop = std::make_shared<std::atomic_bool>(false);
    job.outcome = std::make_shared<Outcome>();
    job.done = std::make_shared<std::atomic_bool>(false);
    pool_.start([this, id = job.id, path, sizes = sizesFor(path), stop = job.stop, outcome = job.outcome,
                 done = job.done] {
        Outcome& out = *outcome;
        out.stamp = FileStamp::of(path);  // before reading: a change meanwhile shows
        try {
            const PhotoFile photo = readPhotoFile(path);
            const QSize shown = photo.displayedSize();
            std::vector<QSize> targets;
            for (const PictureSizeFor& sizeFor : sizes)
                targets.push_back(sizeFor(shown.width(), shown.height()));
            std::sort(targets.begin(), targets.end(), [](QSize a, QSize b) {
                return qint64(a.width()) * a.height() > qint64(b.width()) * b.height();
            });
            targets.erase(std::unique(targets.begin(), targets.end()), targets.end());
            const QImage largest = decodePreview(photo, targets.front(), stop.get());
            out.pictures.push_back({shown.width(), shown.height(), largest});
            for (std::size_t i = 1; i < targets.size(); ++i)
                out.pictures.push_back({shown.width(), shown.height(),
                                        largest.scaled(targets[i], Qt::IgnoreAspectRatio, Qt::SmoothTransformation)});
            out.ok = true;
        } catch (const std::exception& e) {
            out.stopped = *stop;
            out.message = platform::messageOf(e);
        }
        *done = true;
        QMetaObject::invokeMethod(this, [this, id] { finish(id); }, Qt::QueuedConnection);
    });
    running_ = std::move(job);
    decodingShown_ = wanted;
    emit started(path);
}

void PictureService::finish(int id)
{
    if (!running_ || running_->id != id || !*running_->done)
        return;  // handed out already (waitForAll)
    const Running job = std::move(*running_);
    running_.reset();
    decodingShown_ = false;
    Outcome& out = *job.outcome;
    if (out.ok) {
        ++decodes_;
        if (out.stamp == FileStamp::of(job.path)) {
            for (PreviewPicture& picture : out.pictures)
                keep(job.path, out.stamp, std::move(picture));
            if (isWantedNow(job.path))
                emit decoded(job.path);
        }
    } else if (!out.stopped) {
        failed_.insert(job.path, out.stamp);
        if (isWantedNow(job.path))
            emit failed(job.path, out.message);
    }
    schedule();
}

std::optional<std::size_t> PictureService::keptIndex(const QString& path, const FileStamp& stamp) const
{
    for (std::size_t i = kept_.size(); i-- > 0;)
        if (kept_[i].path == path && kept_[i].stamp == stamp)
            return i;
    return std::nullopt;
}

std::optional<PreviewPicture> PictureService::find(const QString& path, const PictureSizeFor& sizeFor)
{
    const FileStamp stamp = FileStamp::of(path);
    const auto stale = std::remove_if(kept_.begin(), kept_.end(), [&](const Kept& k) {
        return k.path == path && !(k.stamp == stamp);
    });
    for (auto it = stale; it != kept_.end(); ++it)
        keptBytes_ -= it->picture.image.sizeInBytes();
    kept_.erase(stale, kept_.end());

    // The exact size, else the smallest that covers it.
    std::optional<std::size_t> best;
    std::optional<QSize> wantedSize;
    for (std::size_t i = 0; i < kept_.size(); ++i) {
        const Kept& k = kept_[i];
        if (k.path != path)
            continue;
        wantedSize = sizeOf(sizeFor, k.picture.width, k.picture.height);
        if (!wantedSize || !covers(k.picture.image, *wantedSize))
            continue;
        const auto area = [](const QImage& image) { return qint64(image.width()) * image.height(); };
        if (!best || area(k.picture.image) < area(kept_[*best].picture.image))
            best = i;
    }
    if (!best)
        return std::nullopt;
    PreviewPicture picture = kept_[*best].picture;
    if (picture.image.size() == *wantedSize) {
        std::rotate(kept_.begin() + qsizetype(*best), kept_.begin() + qsizetype(*best) + 1, kept_.end());
        return picture;
    }
    picture.image = picture.image.scaled(*wantedSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    keep(path, stamp, picture);
    return picture;
}

void PictureService::keep(const QString& path, const FileStamp& stamp, PreviewPicture picture)
{
    std::erase_if(kept_, [&](const Kept& k) {
        const bool same = k.path == path && k.picture.image.size() == picture.image.size();
        if (same)
            keptBytes_ -= k.picture.image.sizeInBytes();
        return same;
    });
    keptBytes_ += picture.image.sizeInBytes();
    kept_.push_back({path, stamp, std::move(picture)});
    trim();
}

void PictureService::trim()
{
    while (kept_.size() > 1 && (keptBytes_ > budget_ || kept_.size() > MostPicturesKept)) {
        keptBytes_ -= kept_.front().picture.image.sizeInBytes();
        kept_.erase(kept_.begin());
    }
}

void PictureService::forget()
{
    kept_.clear();
    keptBytes_ = 0;
    failed_.clear();
}

void PictureService::waitForAll()
{
    for (;;) {
        if (running_) {
            pool_.waitForDone();
            finish(running_->id);  // schedules the next
            continue;
        }
        schedule();
        if (!running_)
            return;
    }
}

bool PictureService::isPending(const QString& path) const
{
    return (running_ && running_->path == path) || (isWantedAtAll(path) && !isServed(path));
}

}  // namespace picture
