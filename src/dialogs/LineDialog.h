// The shape of the dialogs about one command line ("Ajouter à mes commandes",
// "Compléter la commande"): the line, read-only, at the top; labelled boxes
// stacked under it; "OK" and "Annuler" at the bottom right.
#pragma once
#include "ui/Form.h"
#include "ui/StdCtrls.h"

#include <string>

class TLineDialog : public TForm {
public:
    TLabel lblLigne{this};
    TEdit edtLigne{this};
    TButton btnOK{this};
    TButton btnAnnuler{this};

protected:
    // name: the form's name; line: shown for reading in edtLigne.
    TLineDialog(TComponent* owner, const char* name, const std::string& caption,
                const std::string& line);
    // A label above its box, at top (design pixels); boxes take the tab
    // order in the order added.
    void AddBox(TLabel& label, TEdit& box, const std::string& caption, int top);
    // The buttons at top, after the boxes in the tab order, and the window's
    // height to them.
    void PlaceButtons(int top);

    // Where the first box under the line goes, and the pitch of the boxes.
    static constexpr int kFirstBoxTop = 62;
    static constexpr int kBoxPitch = 46;

private:
    int tabOrder_ = 0;
};
