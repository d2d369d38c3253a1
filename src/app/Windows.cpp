#include "app/Windows.h"

#include "ui/TForm3.h"
#include "ui/TForm1.h"
#include "ui/TForm2.h"

Windows::Windows()
{
    form1 = std::make_unique<TForm1>();
    form2 = new TForm2(form1.get());
    form3 = new TForm3(form1->state(), form1->autosaveTimer(), form1.get());
    form1->setWindows(form2, form3);
}

Windows::~Windows() = default;
