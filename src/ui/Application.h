// The application object: title, message loop, exceptions and message boxes.
#pragma once
#include "ui/Exceptions.h"

#include <deque>
#include <exception>
#include <functional>
#include <memory>
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
    // False: Run does not show the main form (a program that hands over to
    // another instance and ends).
    bool ShowMainForm = true;

    // Creates a form of type T owned by owner, makes its window and runs its
    // creation handler; the first form created becomes the main form.
    // A failure deletes the form again and passes on.
    template <class T, class... Args> T* CreateForm(Args&&... args) {
        auto form = std::make_unique<T>(std::forward<Args>(args)...);
        const bool main = !MainForm;
        if (main)
            MainForm = form.get();
        try {
            FormCreated(form.get());
        } catch (...) {
            if (main)
                MainForm = nullptr;
            throw;
        }
        return form.release();
    }

    // Shows the main form and runs the loop until the quit request.
    void Run();
    void Terminate();
    // True while a quit request waits in the queue (Terminate was called).
    bool QuitRequested() const;
    // Handles every message waiting in the queue, then returns.
    void ProcessMessages();
    // Key preview, dialog navigation, then translation and dispatch; then
    // the failures it raised are shown.
    void DispatchOne(MSG& msg);

    // The application error box; tests may divert it through OnException.
    void HandleException(const std::exception& e);
    // A failure caught where a message entered the program: shown by the loop
    // once that message has returned, never from inside it (a failing paint
    // then gives one box, not one per repaint of the box's own loop).
    void QueueException(std::exception_ptr e) noexcept;
    // Shows the failures queued so far, one box each; not again from the
    // loop of one of those boxes.
    void ShowQueuedExceptions();
    std::function<void(const std::string& message)> OnException;
    void ShowException(const std::string& message);
    // A plain modal message box titled with the application title.
    int MessageBox(const std::string& text, UINT flags = MB_OK);

private:
    void FormCreated(TForm* form);
    void DispatchMessageOnly(MSG& msg);
    std::deque<std::exception_ptr> queued_;
    bool showingQueued_ = false;
};

extern TApplication* Application;
