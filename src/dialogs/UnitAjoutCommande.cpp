#include "dialogs/UnitAjoutCommande.h"

TAjoutCommande* AjoutCommande = nullptr;

TAjoutCommande::TAjoutCommande(TComponent* owner) : TForm(owner) {
    // Window
    Name = "AjoutCommande";
    SetCaption("Ajouter à mes commandes");
    BorderStyle = bsDialog;
    BorderIcons = biSystemMenu;
    Position = poScreenCenter;
    KeyPreview = true;
    Font = TFont("MS Sans Serif", 11, clWindowText);
    SetClientSize(Scale(420), Scale(150));
    OnShow = [this](TObject* s) { FormShow(s); };
    OnKeyPress = [this](TObject* s, char& k) { FormKeyPress(s, k); };

    //                          left  top  width height
    lblLigne.SetParent(this);
    lblLigne.SetCaption("Ligne de commande :");
    lblLigne.SetDesignBounds(12, 12, 0, 0);
    lblLigne.AdjustBounds();
    lblLigne.SetFocusControl(&edtLigne);

    edtLigne.SetParent(this);
    edtLigne.ReadOnly = true;
    edtLigne.SetDesignBounds(12, 28, 396, 21);
    edtLigne.SetTabOrder(0);

    lblCommentaire.SetParent(this);
    lblCommentaire.SetCaption("Commentaire (facultatif) :");
    lblCommentaire.SetDesignBounds(12, 62, 0, 0);
    lblCommentaire.AdjustBounds();
    lblCommentaire.SetFocusControl(&edtCommentaire);

    edtCommentaire.SetParent(this);
    edtCommentaire.SetDesignBounds(12, 78, 396, 21);
    edtCommentaire.SetTabOrder(1);

    btnOK.SetParent(this);
    btnOK.SetCaption("OK");
    btnOK.SetDefault(true);
    btnOK.SetDesignBounds(252, 113, 75, 25);
    btnOK.SetTabOrder(2);

    btnAnnuler.SetParent(this);
    btnAnnuler.SetCaption("Annuler");
    btnAnnuler.SetDesignBounds(333, 113, 75, 25);
    btnAnnuler.SetTabOrder(3);

    // Events
    btnOK.OnClick = [this](TObject*) { ModalResult = mrOk; };
    btnAnnuler.OnClick = [this](TObject*) { ModalResult = mrCancel; };
}

void TAjoutCommande::FormShow(TObject*) {
    // The line is there to be read; the comment is what the user types.
    edtCommentaire.SetFocus();
}

void TAjoutCommande::FormKeyPress(TObject*, char& Key) {
    if (Key == 27)
        Close();
}
