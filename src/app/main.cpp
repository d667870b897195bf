// Orbitashell: ready-made command lines for the command interpreter.
#include "app/Unit1.h"
#include "ui/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    TApplication application;
    TForm1* form = application.CreateForm<TForm1>();
    application.Run();
    delete form;
    return 0;
}
