#include "dialogs/TextDialog.h"

TTextDialog::TTextDialog(TComponent* owner, const char* name, const char* caption,
                         const std::vector<std::string>& lines)
    : TForm(owner) {
    // Window
    SetUpDialog(name, caption, TFont("MS Sans Serif", 11, clWindowText));
    SetClientSize(Scale(386), Scale(280));
    OnShow = [this](TObject*) { Memo.SetSelStart(0); };

    //                          left  top  width height
    Memo.SetParent(this);
    Memo.SetColor(clWhite);
    Memo.Font = TFont("MS Sans Serif", 11, clNavy);
    Memo.ReadOnly = true;
    Memo.ScrollBars = true;
    Memo.FlatBorder = true;
    Memo.SetLines(lines);
    Memo.SetDesignBounds(12, 12, 362, 252);
    Memo.SetTabOrder(0);
}
