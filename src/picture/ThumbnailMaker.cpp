#include "picture/ThumbnailMaker.h"

#include <QCoreApplication>
#include <QThread>

namespace picture {

namespace {

// The longest a worker waits for a photo's decoding to end before it goes on anyway.
constexpr int kMostYieldMs = 400;

}  // namespace

ThumbnailMaker::ThumbnailMaker(ThumbnailCache cache, std::function<bool()> yieldTo, int threads)
    : cache_(std::move(cache)), yieldTo_(std::move(yieldTo))
{
    pool_.setMaxThreadCount(std::max(1, threads));
    laterPool_.setMaxThreadCount(std::max(1, threads));
    laterPool_.setThreadPriority(QThread::IdlePriority);
}

ThumbnailMaker::~ThumbnailMaker()
{
    {
        const QMutexLocker locked(&lock_);
        queue_.clear();
    }
    laterCount_ = 0;
    pool_.waitForDone();
    laterPool_.waitForDone();
}

void ThumbnailMaker::want(const QStringList& paths)
{
    wanted_.clear();
    {
        const QMutexLocker locked(&lock_);
        queue_.clear();
        for (const QString& path : paths) {
            if (wanted_.contains(path))
                continue;
            wanted_.insert(path, true);
            if (!kept_.contains(path) && !running_.contains(path))
                queue_ << path;
        }
    }
    for (auto it = kept_.begin(); it != kept_.end();)
        it = wanted_.contains(it.key()) ? std::next(it) : kept_.erase(it);
    startMore();
}

void ThumbnailMaker::makeLater(int count, std::function<QString(int)> pathOf)
{
    laterCount_ = count;
    laterNext_ = 0;
    laterPath_ = std::move(pathOf);
    startMore();
}

std::optional<QImage> ThumbnailMaker::find(const QString& path) const
{
    const auto it = kept_.constFind(path);
    if (it == kept_.constEnd())
        return std::nullopt;
    return *it;
}

bool ThumbnailMaker::idle() const
{
    const QMutexLocker locked(&lock_);
    return workers_ == 0 && laterWorkers_ == 0 && queue_.isEmpty() && laterNext_ >= laterCount_;
}

void ThumbnailMaker::startMore()
{
    const QMutexLocker locked(&lock_);
    for (int i = int(queue_.size()); i > 0 && workers_ < pool_.maxThreadCount(); --i) {
        ++workers_;
        pool_.start([this] { work(); });
    }
    // The rest of the album only when none of the wanted waits. (Its paths are asked for here, on
    // this thread.)
    while (queue_.isEmpty() && laterWorkers_ < laterPool_.maxThreadCount() && laterNext_ < laterCount_) {
        const QString path = laterPath_(laterNext_++);
        if (kept_.contains(path) || running_.contains(path))
            continue;
        running_.insert(path, true);
        ++laterWorkers_;
        laterPool_.start([this, path] { workLater(path); });
    }
}

void ThumbnailMaker::work()
{
    for (;;) {
        QString path;
        {
            const QMutexLocker locked(&lock_);
            if (queue_.isEmpty()) {
                --workers_;
                // The rest of the album is handed out on the GUI thread.
                QMetaObject::invokeMethod(this, [this] { startMore(); }, Qt::QueuedConnection);
                return;
            }
            path = queue_.takeFirst();
            running_.insert(path, true);
        }
        make(path);
    }
}

void ThumbnailMaker::workLater(const QString& path)
{
    make(path);
    const QMutexLocker locked(&lock_);
    --laterWorkers_;
    QMetaObject::invokeMethod(this, [this] { startMore(); }, Qt::QueuedConnection);
}

void ThumbnailMaker::make(const QString& path)
{
    // While a view's photo decodes, it keeps a processor of its own: the thumbnails take the
    // others (at least one), the rest of the workers wait.
    const int share = std::max(1, pool_.maxThreadCount() - 1);
    for (int waited = 0;; waited += 2) {
        int now = making_;
        const bool wait = yieldTo_ && waited < kMostYieldMs && now >= share && yieldTo_();
        if (!wait && making_.compare_exchange_weak(now, now + 1))
            break;
        if (wait)
            QThread::msleep(2);
    }
    const QImage image = cache_.thumbnail(path);
    --making_;
    QMetaObject::invokeMethod(this, [this, path, image] { finish(path, image); }, Qt::QueuedConnection);
}

void ThumbnailMaker::finish(const QString& path, const QImage& image)
{
    {
        const QMutexLocker locked(&lock_);
        running_.remove(path);
    }
    ++made_;
    if (wanted_.contains(path)) {
        kept_.insert(path, image);
        emit made(path);
    }
}

void ThumbnailMaker::waitForAll()
{
    const auto waiting = [this] {
        for (auto it = wanted_.cbegin(); it != wanted_.cend(); ++it)
            if (!kept_.contains(it.key()))
                return true;
        return false;
    };
    while (waiting()) {
        pool_.waitForDone();
        laterPool_.waitForDone();
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    }
}

}  // namespace picture
