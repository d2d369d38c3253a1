#pragma once

#include <memory>

class TForm1;
class TForm2;
class TForm3;

// The program's three windows, created in their order: main, about, settings.
// The two dialogs belong to the main window and live as long as it does.
struct Windows {
    std::unique_ptr<TForm1> form1;
    TForm2* form2 = nullptr;
    TForm3* form3 = nullptr;

    Windows();
    ~Windows();
};
