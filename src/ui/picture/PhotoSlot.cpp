#include "ui/picture/PhotoSlot.h"

#include "picture/ExifThumbnail.h"

namespace ui {

PhotoSlot::PhotoSlot(picture::PictureService& service, QObject* parent)
    : QObject(parent), service_(service), client_(service.addClient())
{
    connect(&service_, &picture::PictureService::decoded, this, &PhotoSlot::onDecoded);
    connect(&service_, &picture::PictureService::failed, this, &PhotoSlot::onFailed);
}

PhotoSlot::~PhotoSlot()
{
    service_.release(client_);
}

void PhotoSlot::show(const QString& path, const picture::PictureSizeFor& sizeFor, const QStringList& ahead)
{
    path_ = path;
    sizeFor_ = sizeFor;
    width_ = height_ = -1;
    size_ = QSize();
    image_ = QImage();
    complete_ = awaiting_ = false;
    if (auto picture = service_.find(path, sizeFor)) {
        width_ = picture->width;
        height_ = picture->height;
        image_ = std::move(picture->image);
        size_ = image_.size();
        complete_ = true;
        service_.want(client_, path, sizeFor, ahead);
        return;
    }
    try {
        const picture::PhotoFile photo = picture::readPhotoFile(path);
        width_ = photo.width();
        height_ = photo.height();
        size_ = sizeFor(width_, height_);
        image_ = picture::thumbnailPicture(photo, size_);
    } catch (...) {
        // The neighbours are still worth decoding when this photo fails. (Asking for nothing
        // before the header is read would stop the decoding of this very photo, begun ahead.)
        service_.want(client_, QString(), sizeFor, ahead);
        throw;
    }
    awaiting_ = true;
    service_.want(client_, path, sizeFor, ahead);
}

void PhotoSlot::clear()
{
    path_.clear();
    width_ = height_ = -1;
    size_ = QSize();
    image_ = QImage();
    complete_ = awaiting_ = false;
    service_.release(client_);
}

void PhotoSlot::onDecoded(const QString& path)
{
    if (!awaiting_ || path != path_)
        return;
    auto picture = service_.find(path, sizeFor_);
    if (!picture)
        return;  // changed on disk meanwhile: the service decodes it again
    awaiting_ = false;
    complete_ = true;
    image_ = std::move(picture->image);
    emit changed();
}

void PhotoSlot::onFailed(const QString& path, const QString& message)
{
    if (!awaiting_ || path != path_)
        return;
    awaiting_ = false;
    image_ = QImage();
    emit failed(message);
}

}  // namespace ui
