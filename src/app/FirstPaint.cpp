#include "app/FirstPaint.h"

#include <QEvent>
#include <QTimer>

namespace {

// Watches the window for its first paint event; a child of the window, so it goes with it.
class FirstPaintWatch : public QObject {
public:
    FirstPaintWatch(QWidget& window, std::function<void()> work, std::chrono::milliseconds latest)
        : QObject(&window), window_(window), work_(std::move(work))
    {
        window_.installEventFilter(this);
        QTimer::singleShot(latest, this, [this] { paintedOrLate(); });
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &window_ && event->type() == QEvent::Paint)
            paintedOrLate();
        return false;
    }

private:
    void paintedOrLate()
    {
        if (done_)
            return;
        done_ = true;
        window_.removeEventFilter(this);
        // Not from inside the paint: the painted picture is sent to the screen first.
        QTimer::singleShot(0, this, [this] {
            work_();
            deleteLater();
        });
    }

    QWidget& window_;
    std::function<void()> work_;
    bool done_ = false;
};

}  // namespace

void afterFirstPaint(QWidget& window, std::function<void()> work, std::chrono::milliseconds latest)
{
    new FirstPaintWatch(window, std::move(work), latest);
}
