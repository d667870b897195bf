#include "dialogs/LineDialog.h"

TLineDialog::TLineDialog(TComponent* owner, const char* name, const std::string& caption,
                         const std::string& line)
    : TForm(owner) {
    // Window
    SetUpDialog(name, caption, TFont("MS Sans Serif", 11, clWindowText));

    AddBox(lblLigne, edtLigne, "Ligne de commande :", 12);
    edtLigne.ReadOnly = true;
    edtLigne.SetText(line);

    // Events
    btnOK.OnClick = [this](TObject*) { ModalResult = mrOk; };
    btnAnnuler.OnClick = [this](TObject*) { ModalResult = mrCancel; };
}

void TLineDialog::AddBox(TLabel& label, TEdit& box, const std::string& caption, int top) {
    //                          left  top  width height
    label.SetParent(this);
    label.SetCaption(caption);
    label.SetDesignBounds(12, top, 0, 0);
    label.AdjustBounds();
    label.SetFocusControl(&box);

    box.SetParent(this);
    box.SetDesignBounds(12, top + 16, 396, 21);
    box.SetTabOrder(tabOrder_++);
}

void TLineDialog::PlaceButtons(int top) {
    btnOK.SetParent(this);
    btnOK.SetCaption("OK");
    btnOK.SetDefault(true);
    btnOK.SetDesignBounds(252, top, 75, 25);
    btnOK.SetTabOrder(tabOrder_++);

    btnAnnuler.SetParent(this);
    btnAnnuler.SetCaption("Annuler");
    btnAnnuler.SetDesignBounds(333, top, 75, 25);
    btnAnnuler.SetTabOrder(tabOrder_++);

    SetClientSize(Scale(420), Scale(top + 37));
}
