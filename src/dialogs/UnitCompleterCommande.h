// "Compléter la commande": the values of a line's blanks, asked before it runs.
#pragma once
#include "core/Blanks.h"
#include "dialogs/LineDialog.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

class TCompleterCommande : public TLineDialog {
public:
    // line: as written, shown for reading; fields: one box each, in order,
    // holding the field's Default as its first value.
    TCompleterCommande(TComponent* owner, const std::string& line,
                       const std::vector<TBlankField>& fields);

    // One label and one box per field.
    struct TValueRow {
        explicit TValueRow(TComponent* owner) : lbl(owner), edt(owner) {}
        TLabel lbl;
        TEdit edt;
    };
    std::deque<TValueRow> Rows;
    // The line as it will run, under the boxes, selectable and read by screen readers.
    TLabel lblLancee{this};
    TEdit edtLancee{this};

    // The boxes' texts, field for field.
    std::vector<std::string> Values() const;
    // The line as it will run with the values typed so far; shown at every key.
    std::function<std::string(const std::vector<std::string>&)> Preview;

    void FormShow(TObject* Sender);
    void edtValueChange(TObject* Sender);
};

// The dialog while it is open; null otherwise.
extern TCompleterCommande* CompleterCommande;
