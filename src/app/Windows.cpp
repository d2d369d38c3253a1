#include "app/Windows.h"

#include "album/Album.h"
#include "picture/PictureService.h"
#include "ui/main/TForm1.h"
#include "ui/windows/TForm2.h"
#include "ui/windows/TForm3.h"

Windows::Windows()
{
    album = std::make_unique<album::Album>();
    pictures = std::make_unique<picture::PictureService>();
    form1 = std::make_unique<TForm1>(*album, *pictures);
    form2 = new TForm2(form1.get());
    form3 = new TForm3(album->state(), album->autosaveTimer(), form1.get());
    form1->setWindows(form2, form3);
    // The settings window's choices count as they stand, confirmed or not.
    album->setOpenChoices([settings = form3] { return album::OpenChoices{settings->keepLastFolder(), settings->autosaveTicked()}; });
}

Windows::~Windows()
{
    form1.reset();  // the windows go before the album they show
}
