#include "dialogs/UnitCompleterCommande.h"

TCompleterCommande* CompleterCommande = nullptr;

namespace {

// Each field takes a label above its box.
constexpr int kFirstRowTop = 62;
constexpr int kRowPitch = 46;

} // namespace

TCompleterCommande::TCompleterCommande(TComponent* owner, const std::string& line,
                                       const std::vector<TBlankField>& fields)
    : TForm(owner) {
    const int rows = static_cast<int>(fields.size());
    const int previewTop = kFirstRowTop + rows * kRowPitch;
    const int buttonsTop = previewTop + kRowPitch + 6;

    // Window
    Name = "CompleterCommande";
    SetCaption("Compléter la commande");
    BorderStyle = bsDialog;
    BorderIcons = biSystemMenu;
    Position = poScreenCenter;
    KeyPreview = true;
    Font = TFont("MS Sans Serif", 11, clWindowText);
    SetClientSize(Scale(420), Scale(buttonsTop + 37));
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
    edtLigne.SetText(line);
    edtLigne.SetDesignBounds(12, 28, 396, 21);
    edtLigne.SetTabOrder(0);

    for (int i = 0; i < rows; ++i) {
        const TBlankField& field = fields[static_cast<size_t>(i)];
        TValueRow& row = Rows.emplace_back(this);
        const int top = kFirstRowTop + i * kRowPitch;
        row.lbl.SetParent(this);
        row.lbl.SetCaption(field.Name + " :");
        row.lbl.SetDesignBounds(12, top, 0, 0);
        row.lbl.AdjustBounds();
        row.lbl.SetFocusControl(&row.edt);

        row.edt.SetParent(this);
        row.edt.SetText(field.Default);
        row.edt.SetDesignBounds(12, top + 16, 396, 21);
        row.edt.SetTabOrder(1 + i);
        row.edt.OnChange = [this](TObject* s) { edtValueChange(s); };
    }

    lblLancee.SetParent(this);
    lblLancee.SetCaption("Ligne qui sera lancée :");
    lblLancee.SetDesignBounds(12, previewTop, 0, 0);
    lblLancee.AdjustBounds();
    lblLancee.SetFocusControl(&edtLancee);

    edtLancee.SetParent(this);
    edtLancee.ReadOnly = true;
    edtLancee.SetDesignBounds(12, previewTop + 16, 396, 21);
    edtLancee.SetTabOrder(1 + rows);

    btnOK.SetParent(this);
    btnOK.SetCaption("OK");
    btnOK.SetDefault(true);
    btnOK.SetDesignBounds(252, buttonsTop, 75, 25);
    btnOK.SetTabOrder(2 + rows);

    btnAnnuler.SetParent(this);
    btnAnnuler.SetCaption("Annuler");
    btnAnnuler.SetDesignBounds(333, buttonsTop, 75, 25);
    btnAnnuler.SetTabOrder(3 + rows);

    // Events
    btnOK.OnClick = [this](TObject*) { ModalResult = mrOk; };
    btnAnnuler.OnClick = [this](TObject*) { ModalResult = mrCancel; };
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

void TCompleterCommande::FormKeyPress(TObject*, char& Key) {
    if (Key == 27)
        Close();
}
