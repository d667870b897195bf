#include "ui/MessageDialog.h"

#include "ui/Application.h"
#include "ui/System.h"

#include <algorithm>

void TIconImage::Paint(TCanvas& canvas) {
    if (Icon)
        DrawIconEx(canvas.Handle(), 0, 0, Icon, width_, height_, 0, nullptr, DI_NORMAL);
}

TErrorDialog::TErrorDialog(TComponent* owner, const std::string& message) : TForm(owner) {
    SetUpDialog("", "Erreur", TFont("Tahoma", 11, clWindowText));

    imgIcon.SetParent(this);
    imgIcon.Icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_HAND));
    imgIcon.SetDesignBounds(16, 16, 32, 32);

    lblMessage.SetParent(this);
    lblMessage.SetWordWrap(true);
    lblMessage.SetDesignBounds(64, 16, 300, 13);
    lblMessage.SetCaption(message);
    lblMessage.AdjustBounds();
    // A short message sits beside the middle of the icon.
    if (lblMessage.Height() < Scale(32))
        lblMessage.SetTop(Scale(16) + (Scale(32) - lblMessage.Height()) / 2);

    btnOK.SetParent(this);
    btnOK.SetCaption("OK");
    btnOK.SetDefault(true);
    int contentBottom = std::max(lblMessage.Top() + lblMessage.Height(), Scale(48));
    int clientWidth = std::max(lblMessage.Left() + lblMessage.Width() + Scale(16), Scale(200));
    btnOK.SetBounds((clientWidth - Scale(75)) / 2, contentBottom + Scale(16), Scale(75), Scale(25));
    btnOK.OnClick = [this](TObject*) { ModalResult = mrOk; };
    // Escape presses "OK" too: the box has no other answer.
    OnKeyPress = [this](TObject*, char& Key) {
        if (Key == 27) {
            btnOK.Click();
            Key = 0;
        }
    };
    SetClientSize(clientWidth, btnOK.Top() + btnOK.Height() + Scale(12));
}

void ShowErrorMessage(const std::string& message) {
    Sys().Beep(MB_ICONHAND);
    TErrorDialog dialog(Application ? Application->MainForm : nullptr, message);
    dialog.DoCreate();
    dialog.ShowModal();
}
