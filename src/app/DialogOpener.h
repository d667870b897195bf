// How every dialog of the program is opened: fresh from its design each time,
// owned by the main window, modal, and released once its modal loop is over.
#pragma once
#include "ui/Application.h"
#include "ui/Form.h"

#include <utility>

// Creates a T owned by owner (its creation handler runs), stores it in the
// unit's instance variable, shows it modally and releases it when the modal
// loop ends, also by an exception, which then goes on to the caller. args
// follow the owner to T's constructor.
template <class T, class... Args> void OpenDialog(TForm* owner, T*& instance, Args&&... args) {
    instance = Application->CreateForm<T>(owner, std::forward<Args>(args)...);
    struct TReleaser {
        T*& instance;
        ~TReleaser() {
            T* dialog = instance;
            // Cleared first: nothing may reach the dialog once it is on its way out.
            instance = nullptr;
            dialog->Release();
        }
    } releaser{instance};
    instance->ShowModal();
}
