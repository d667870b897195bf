// The application object: title, message loop, exceptions and message boxes.
#pragma once
#include "ui/Exceptions.h"

#include <exception>
#include <functional>
#include <string>

class TForm;

class TApplication {
public:
    TApplication();
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // The title of the message boxes: the executable's name until the program gives its own.
    std::string Title;
    TForm* MainForm = nullptr;

    // Creates a form of type T owned by owner, makes its window and runs its
    // creation handler; the first form created becomes the main form.
    template <class T, class... Args> T* CreateForm(Args&&... args) {
        T* form = new T(std::forward<Args>(args)...);
        if (!MainForm)
            MainForm = form;
        FormCreated(form);
        return form;
    }

    // Shows the main form and runs the loop until the quit request.
    void Run();
    void Terminate();
    // Handles every message waiting in the queue, then returns.
    void ProcessMessages();
    // Key preview, dialog navigation, then translation and dispatch.
    void DispatchOne(MSG& msg);

    // The application error box; tests may divert it through OnException.
    void HandleException(const std::exception& e);
    std::function<void(const std::string& message)> OnException;
    void ShowException(const std::string& message);
    // A plain modal message box titled with the application title.
    int MessageBox(const std::string& text, UINT flags = MB_OK);

private:
    void FormCreated(TForm* form);
};

extern TApplication* Application;
