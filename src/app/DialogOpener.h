// How every dialog of the program is opened: fresh from its design each time,
// owned by the main window, modal, and released once its modal loop is over.
#pragma once
#include "ui/Application.h"
#include "ui/Form.h"

// Creates a T owned by owner (its creation handler runs), stores it in the
// unit's instance variable, shows it modally and releases it when the modal
// loop ends, also by an exception, which then goes on to the caller. With
// use, the dialog is shown by use(dialog), which can fill it in first and
// read it back once its modal loop is over.
template <class T, class TUse> void OpenDialog(TForm* owner, T*& instance, TUse use) {
    instance = Application->CreateForm<T>(owner);
    struct TReleaser {
        T*& instance;
        ~TReleaser() {
            T* dialog = instance;
            // Cleared first: nothing may reach the dialog once it is on its way out.
            instance = nullptr;
            dialog->Release();
        }
    } releaser{instance};
    use(*instance);
}

template <class T> void OpenDialog(TForm* owner, T*& instance) {
    OpenDialog(owner, instance, [](T& dialog) { dialog.ShowModal(); });
}
