#include "dialogs/UnitAjoutCommande.h"

TAjoutCommande* AjoutCommande = nullptr;

TAjoutCommande::TAjoutCommande(TComponent* owner)
    : TLineDialog(owner, "AjoutCommande", "Ajouter à mes commandes", "") {
    OnShow = [this](TObject* s) { FormShow(s); };
    AddBox(lblCommentaire, edtCommentaire, "Commentaire (facultatif) :", kFirstBoxTop);
    PlaceButtons(113);
}

void TAjoutCommande::FormShow(TObject*) {
    // The line is there to be read; the comment is what the user types.
    edtCommentaire.SetFocus();
}
