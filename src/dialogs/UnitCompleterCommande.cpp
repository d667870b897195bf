#include "dialogs/UnitCompleterCommande.h"

TCompleterCommande* CompleterCommande = nullptr;

TCompleterCommande::TCompleterCommande(TComponent* owner, const std::string& line,
                                       const std::vector<TBlankField>& fields)
    : TLineDialog(owner, "CompleterCommande", "Compléter la commande", line) {
    OnShow = [this](TObject* s) { FormShow(s); };
    int top = kFirstBoxTop;
    for (const TBlankField& field : fields) {
        TValueRow& row = Rows.emplace_back(this);
        AddBox(row.lbl, row.edt, field.Name + " :", top);
        row.edt.SetText(field.Default);
        row.edt.OnChange = [this](TObject* s) { edtValueChange(s); };
        top += kBoxPitch;
    }
    AddBox(lblLancee, edtLancee, "Ligne qui sera lancée :", top);
    edtLancee.ReadOnly = true;
    PlaceButtons(top + kBoxPitch + 6);
}

std::vector<std::string> TCompleterCommande::Values() const {
    std::vector<std::string> values;
    for (const TValueRow& row : Rows)
        values.push_back(row.edt.Text());
    return values;
}

void TCompleterCommande::edtValueChange(TObject*) {
    if (Preview)
        edtLancee.SetText(Preview(Values()));
}

void TCompleterCommande::FormShow(TObject* Sender) {
    edtValueChange(Sender);
    // The value last used is there to be kept or typed over at once.
    if (Rows.empty())
        return;
    Rows.front().edt.SetFocus();
    Rows.front().edt.SelectAll();
}
