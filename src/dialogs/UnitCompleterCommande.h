// "Compléter la commande": the values of a line's blanks, asked before it runs.
#pragma once
#include "core/Blanks.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

#include <deque>
#include <string>
#include <vector>

class TCompleterCommande : public TForm {
public:
    // line: as written, shown for reading; fields: one box each, in order,
    // holding the field's Default as its first value.
    TCompleterCommande(TComponent* owner, const std::string& line,
                       const std::vector<TBlankField>& fields);

    TLabel lblLigne{this};
    TEdit edtLigne{this};
    // One label and one box per field.
    struct TValueRow {
        explicit TValueRow(TComponent* owner) : lbl(owner), edt(owner) {}
        TLabel lbl;
        TEdit edt;
    };
    std::deque<TValueRow> Rows;
    TButton btnOK{this};
    TButton btnAnnuler{this};

    // The boxes' texts, field for field.
    std::vector<std::string> Values() const;

    void FormShow(TObject* Sender);
    void FormKeyPress(TObject* Sender, char& Key);
};

// The dialog while it is open; null otherwise.
extern TCompleterCommande* CompleterCommande;
