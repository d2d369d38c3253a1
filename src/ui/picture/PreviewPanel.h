#pragma once

#include "album/Album.h"
#include "ui/picture/PreviewPrefetch.h"

#include <QObject>
#include <QTimer>

class QLabel;

namespace ui {

// The main window's preview of the current photo (`panel`, the picture in `image`): ShowPhoto,
// with the neighbours decoded ahead, and the photos passed over when the user moves on faster
// than photos decode.
class PreviewPanel : public QObject, public album::AlbumView {
public:
    PreviewPanel(const album::Album& album, QLabel* panel, QLabel* image);

    // Shows the photo of `row`, fitted into the panel; raises its error.
    void ShowPhoto(int row) override;
    PreviewPrefetch& prefetch() { return prefetch_; }

private:
    // The photo passed over (ShowPhoto) is shown once the user stops on it.
    void showPendingPhoto();

    const album::Album& album_;
    QLabel* panel_;
    QLabel* image_;
    PreviewPrefetch prefetch_;   // neighbours of the photo shown, decoded ahead
    QString pendingPhoto_;       // the photo shown whose picture waits for the input to end
    QTimer pendingPhotoTimer_;   // looks at it while it waits
};

}  // namespace ui
