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
}

ThumbnailMaker::~ThumbnailMaker()
{
    queue_.clear();
    laterCount_ = 0;
    pool_.waitForDone();
}

void ThumbnailMaker::want(const QStringList& paths)
{
    wanted_.clear();
    queue_.clear();
    for (const QString& path : paths) {
        if (wanted_.contains(path))
            continue;
        wanted_.insert(path, true);
        if (!kept_.contains(path) && !running_.contains(path))
            queue_ << path;
    }
    for (auto it = kept_.begin(); it != kept_.end();)
        it = wanted_.contains(it.key()) ? std::next(it) : kept_.erase(it);
    startMore();
}

std::optional<QImage> ThumbnailMaker::find(const QString& path) const
{
    const auto it = kept_.constFind(path);
    if (it == kept_.constEnd())
        return std::nullopt;
    return *it;
}

void ThumbnailMaker::makeLater(int count, std::function<QString(int)> pathOf)
{
    laterCount_ = count;
    laterNext_ = 0;
    laterPath_ = std::move(pathOf);
    startMore();
}

void ThumbnailMaker::startMore()
{
    while (running_.size() < pool_.maxThreadCount()) {
        QString path;
        if (!queue_.isEmpty()) {
            path = queue_.takeFirst();
        } else if (laterNext_ < laterCount_) {
            path = laterPath_(laterNext_++);
            if (kept_.contains(path) || running_.contains(path))
                continue;
        } else {
            break;
        }
        running_.insert(path, true);
        pool_.start([this, path] {
            if (yieldTo_)
                for (int waited = 0; waited < kMostYieldMs && yieldTo_(); waited += 2)
                    QThread::msleep(2);
            const QImage image = cache_.thumbnail(path);
            QMetaObject::invokeMethod(this, [this, path, image] { finish(path, image); }, Qt::QueuedConnection);
        });
    }
}

void ThumbnailMaker::finish(const QString& path, const QImage& image)
{
    running_.remove(path);
    ++made_;
    if (wanted_.contains(path)) {
        kept_.insert(path, image);
        emit made(path);
    }
    startMore();
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
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    }
}

}  // namespace picture
