#pragma once

#include <QObject>
#include <QString>

class TForm1;

// Albums opened from outside the window, through the Open sequence with the folder given in
// place of the picker's answer (the save question, the messages, all as Open has them):
// - `albisko FOLDER` or `albisko PHOTO.jpg`: a photo opens its folder at that photo; a path
//   that is neither is named in a Czech warning, and the window stays as it is (empty at
//   start-up);
// - a folder, or a photo (its folder, at that photo), dropped onto the main window.
void openFromCommandLine(TForm1& window, const QString& path);
// Whether a dropped path opens an album, and which folder: the folder itself, or a photo's.
QString folderOfDrop(const QString& path);
void openDroppedAlbums(TForm1& window);

// "Soubor > Nedávná alba": the last 8 albums opened (the state's RecentAlbums, kept in the
// settings file), newest first; a folder that is gone is listed disabled. Choosing one opens it
// through the Open sequence.
class RecentAlbums : public QObject {
public:
    explicit RecentAlbums(TForm1& window);
    class QMenu* menu() const { return menu_; }
    // An album was opened: it goes to the top.
    void remember(const QString& folder);

private:
    void fill();

    TForm1& window_;
    class QMenu* menu_;
};
