#pragma once

#include "picture/PictureService.h"

#include <QImage>
#include <QObject>
#include <QString>

namespace ui {

// What one view shows of its current photo, through the picture service: at once whatever is at
// hand (the picture decoded before, else the photo's EXIF thumbnail scaled to the picture's size,
// else nothing at that size), then the full picture when the service has decoded it.
class PhotoSlot : public QObject {
    Q_OBJECT
public:
    PhotoSlot(picture::PictureService& service, QObject* parent);
    ~PhotoSlot() override;

    // Shows `path` at the size `sizeFor` gives the photo (a function of values only: the worker
    // thread calls it too); `ahead` are the photos the view will likely show next. Without a
    // picture at hand the photo's header is read here, and its error thrown: width() and height()
    // then say whether the size was read (a photo of 0 x 0 has no picture size).
    void show(const QString& path, const picture::PictureSizeFor& sizeFor, const QStringList& ahead);
    // Shows nothing and asks the service for nothing.
    void clear();

    const QString& path() const { return path_; }
    int width() const { return width_; }    // the photo as displayed; -1 before its header was read
    int height() const { return height_; }
    QSize size() const { return size_; }    // the picture's size
    const QImage& image() const { return image_; }  // the picture, its stand-in, or null
    bool complete() const { return complete_; }     // image() is the decoded picture

signals:
    void changed();                        // the decoded picture replaced the stand-in
    void failed(const QString& message);   // the photo could not be decoded

private:
    void onDecoded(const QString& path);
    void onFailed(const QString& path, const QString& message);

    picture::PictureService& service_;
    int client_;
    QString path_;
    picture::PictureSizeFor sizeFor_;
    int width_ = -1;
    int height_ = -1;
    QSize size_;
    QImage image_;
    bool complete_ = false;
    bool awaiting_ = false;  // the service decodes path_ for this slot
};

}  // namespace ui
