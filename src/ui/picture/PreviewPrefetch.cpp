#include "ui/picture/PreviewPrefetch.h"

#include <QFile>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <sys/stat.h>

namespace ui {

PreviewPrefetch::PreviewPrefetch(PictureSizeFor sizeFor) : sizeFor_(std::move(sizeFor))
{
    pool_.setMaxThreadCount(1);
}

PreviewPrefetch::~PreviewPrefetch()
{
    for (Job& job : jobs_)
        *job.dropped = true;
    pool_.waitForDone();
}

PreviewPrefetch::Stamp PreviewPrefetch::stampOf(const QString& path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    const auto nanoseconds = [](const timespec& t) { return qint64(t.tv_sec) * 1000000000 + t.tv_nsec; };
    return {quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size), nanoseconds(st.st_mtim),
            nanoseconds(st.st_ctim)};
}

void PreviewPrefetch::prefetch(const QStringList& paths)
{
    QHash<QString, Job> wanted;
    for (const QString& path : paths) {
        if (auto it = jobs_.find(path); it != jobs_.end()) {
            wanted.insert(path, *it);
            jobs_.erase(it);
            continue;
        }
        if (kept(path))
            continue;
        auto dropped = std::make_shared<std::atomic_bool>(false);
        wanted.insert(path, {QtConcurrent::run(&pool_, [path, dropped, sizeFor = sizeFor_, decodes = decodes_] {
            Result result;
            if (*dropped)
                return result;
            result.stamp = stampOf(path);
            try {
                result.picture = loadPicture(path, sizeFor, dropped.get());
                result.ok = true;
                ++*decodes;
            } catch (...) {
                // Not reported here: the photo is decoded again when shown.
            }
            return result;
        }), dropped});
    }
    for (Job& job : jobs_)
        *job.dropped = true;
    jobs_.swap(wanted);
}

std::optional<PreviewPicture> PreviewPrefetch::take(const QString& path)
{
    if (auto picture = kept(path))
        return picture;
    const auto it = jobs_.find(path);
    return it == jobs_.end() ? std::nullopt : fromJob(it);
}

std::optional<PreviewPicture> PreviewPrefetch::takeIfReady(const QString& path)
{
    return isUnderWay(path) ? std::nullopt : take(path);
}

bool PreviewPrefetch::isUnderWay(const QString& path) const
{
    const auto it = jobs_.constFind(path);
    return it != jobs_.constEnd() && !it->future.isFinished();
}

std::optional<PreviewPicture> PreviewPrefetch::fromJob(QHash<QString, Job>::iterator job)
{
    const QString path = job.key();
    Result result = job->future.result();
    jobs_.erase(job);
    if (!result.ok || !(result.stamp == stampOf(path)))
        return std::nullopt;
    keep(path, result.stamp, result.picture);
    return std::move(result.picture);
}

void PreviewPrefetch::remember(const QString& path, const Stamp& stamp, const PreviewPicture& picture)
{
    ++*decodes_;
    keep(path, stamp, picture);
}

std::optional<PreviewPicture> PreviewPrefetch::kept(const QString& path)
{
    const auto it = std::find_if(kept_.begin(), kept_.end(), [&](const Kept& k) { return k.path == path; });
    if (it == kept_.end())
        return std::nullopt;
    if (!(it->stamp == stampOf(path))) {
        kept_.erase(it);
        return std::nullopt;
    }
    std::rotate(it, it + 1, kept_.end());  // the most recently used goes last
    return kept_.back().picture;
}

void PreviewPrefetch::keep(const QString& path, const Stamp& stamp, const PreviewPicture& picture)
{
    std::erase_if(kept_, [&](const Kept& k) { return k.path == path; });
    if (kept_.size() == KeptPictures)
        kept_.erase(kept_.begin());
    kept_.push_back({path, stamp, picture});
}

void PreviewPrefetch::forget()
{
    prefetch({});
    kept_.clear();
}

bool PreviewPrefetch::isFinished(const QString& path) const
{
    const auto it = jobs_.constFind(path);
    return it != jobs_.constEnd() && it->future.isFinished();
}

void PreviewPrefetch::waitForAll()
{
    pool_.waitForDone();
}

}  // namespace ui
