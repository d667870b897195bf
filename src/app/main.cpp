// Orbitashell: ready-made command lines for the command interpreter.
#include "app/Unit1.h"
#include "ui/Application.h"

#include <memory>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    TApplication application;
    try {
        std::unique_ptr<TForm1> form(application.CreateForm<TForm1>());
        application.Run();
    } catch (...) {
        // The main window could not be made: say why rather than vanish.
        application.QueueException(std::current_exception());
        application.ShowQueuedExceptions();
        return 1;
    }
    return 0;
}
