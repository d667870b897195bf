// "Ajouter à mes commandes": the command line to keep in the personal list,
// with an optional comment.
#pragma once
#include "ui/Form.h"
#include "ui/StdCtrls.h"

class TAjoutCommande : public TForm {
public:
    explicit TAjoutCommande(TComponent* owner);

    TLabel lblLigne{this};
    TEdit edtLigne{this};
    TLabel lblCommentaire{this};
    TEdit edtCommentaire{this};
    TButton btnOK{this};
    TButton btnAnnuler{this};

    void FormShow(TObject* Sender);
    void FormKeyPress(TObject* Sender, char& Key);
};

// The dialog while it is open; null otherwise.
extern TAjoutCommande* AjoutCommande;
