#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

class AlbumOverview;
class QAction;
class QMainWindow;
class QMenu;
namespace album { class Album; }
namespace picture { class ThumbnailMaker; }

// Where "Přehled alba" lives: in the room a main window larger than its built-in size gains to
// the right of its controls (which keep their places), so a maximised window shows it at once.
// "Přehled alba" (F9, in the "Zobrazit" menu) shows and hides it; where the window has no room,
// showing it widens the window by three columns of tiles (within the screen), and hiding it
// again gives that width back. Whether the user wants it is kept in the working state (and so in
// the settings file) once it was switched.
class OverviewPlace : public QObject {
public:
    OverviewPlace(album::Album& album, picture::ThumbnailMaker& thumbnails, QMainWindow& window, QMenu* menu);

    AlbumOverview& overview() const { return *overview_; }
    QAction* action() const { return action_; }
    // Where the overview goes in the central widget, for a central widget this wide and high.
    static QRect placeIn(QSize central);
    // Whether a central widget of that size has room for one column of tiles there.
    static bool hasRoomIn(QSize central);
    // F9: shows the overview (widening the window where it has no room) or hides it.
    void toggle();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool wanted() const;
    void layOut();  // shown where there is room and the user wants it; the action follows
    // Three columns of tiles more, within the screen; remembered, so that F9 gives them back.
    void widen();

    album::Album& album_;
    QMainWindow& window_;
    QWidget* central_;  // the main window's central widget, where the overview lives
    AlbumOverview* overview_;
    QAction* action_;
    int widenedBy_ = 0;   // the width F9 added to the window
    int widenedTo_ = 0;   // the window's width just after
    QPointer<QWidget> typedIn_;  // where the keyboard was before F9 gave it to the overview
};
