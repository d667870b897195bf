// How every dialog of the program is opened: fresh from its design each time,
// owned by the main window, modal, and released once its modal loop is over.
#pragma once
#include "ui/Application.h"
#include "ui/Form.h"

#include <utility>

// Creates a T owned by owner (its creation handler runs; args follow the owner
// to T's constructor), stores it in the unit's instance variable, shows it by
// use(dialog), which can fill it in first and read it back once its modal loop
// is over, and releases it when that ends, also by an exception, which then
// goes on to the caller.
template <class T, class TUse, class... Args>
void OpenDialogWith(TForm* owner, T*& instance, TUse use, Args&&... args) {
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
    use(*instance);
}

// The same, shown modally as it is.
template <class T, class... Args> void OpenDialog(TForm* owner, T*& instance, Args&&... args) {
    OpenDialogWith(
        owner, instance, [](T& dialog) { dialog.ShowModal(); }, std::forward<Args>(args)...);
}
