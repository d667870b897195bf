// "Ajouter à mes commandes": the command line to keep in the personal list,
// with an optional comment.
#pragma once
#include "dialogs/LineDialog.h"

class TAjoutCommande : public TLineDialog {
public:
    // The line goes in edtLigne before the dialog shows.
    explicit TAjoutCommande(TComponent* owner);

    TLabel lblCommentaire{this};
    TEdit edtCommentaire{this};

    void FormShow(TObject* Sender);
};

// The dialog while it is open; null otherwise.
extern TAjoutCommande* AjoutCommande;
