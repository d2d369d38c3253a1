#include "ui/PreviewPrefetch.h"

#include <QFile>

#include <sys/stat.h>
#include <QtConcurrent/QtConcurrentRun>

namespace ui {

PreviewPrefetch::PreviewPrefetch()
{
    pool_.setMaxThreadCount(1);
}

PreviewPrefetch::~PreviewPrefetch()
{
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
    QHash<QString, Job> kept;
    for (const QString& path : paths) {
        if (auto it = jobs_.find(path); it != jobs_.end()) {
            kept.insert(path, *it);
            jobs_.erase(it);
            continue;
        }
        auto dropped = std::make_shared<std::atomic_bool>(false);
        kept.insert(path, {QtConcurrent::run(&pool_, [path, dropped] {
            Result result;
            if (*dropped)
                return result;
            result.stamp = stampOf(path);
            try {
                result.picture = loadPreview(path);
                result.ok = true;
            } catch (...) {
                // Not reported here: the photo is decoded again when shown.
            }
            return result;
        }), dropped});
    }
    for (Job& job : jobs_)
        *job.dropped = true;
    jobs_.swap(kept);
}

std::optional<PreviewPicture> PreviewPrefetch::take(const QString& path)
{
    const auto it = jobs_.find(path);
    if (it == jobs_.end())
        return std::nullopt;
    Result result = it->future.result();
    jobs_.erase(it);
    if (!result.ok || !(result.stamp == stampOf(path)))
        return std::nullopt;
    return std::move(result.picture);
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
