#pragma once

#include <memory>

class TForm1;
class TForm2;
class TForm3;
namespace album { class Album; }
namespace picture { class PictureService; }

// The open album and the program's three windows, created in their order: main, about,
// settings. The two dialogs belong to the main window and live as long as it does; the album
// and the picture service outlive them all.
struct Windows {
    std::unique_ptr<album::Album> album;
    std::unique_ptr<picture::PictureService> pictures;  // the one decoder of every picture shown
    std::unique_ptr<TForm1> form1;
    TForm2* form2 = nullptr;
    TForm3* form3 = nullptr;

    Windows();
    ~Windows();
};
