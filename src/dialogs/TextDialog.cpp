#include "dialogs/TextDialog.h"

void DesignTextDialog(TForm& form, TMemo& memo, const char* name, const char* caption,
                      const std::vector<std::string>& lines) {
    // Window
    form.Name = name;
    form.SetCaption(caption);
    form.BorderStyle = bsDialog;
    form.BorderIcons = biSystemMenu;
    form.Position = poScreenCenter;
    form.KeyPreview = true;
    form.Font = TFont("MS Sans Serif", 11, clWindowText);
    form.SetClientSize(form.Scale(386), form.Scale(280));
    form.OnShow = [&memo](TObject*) { memo.SetSelStart(0); };

    //                          left  top  width height
    memo.SetParent(&form);
    memo.SetColor(clWhite);
    memo.Font = TFont("MS Sans Serif", 11, clNavy);
    memo.ReadOnly = true;
    memo.ScrollBars = true;
    memo.FlatBorder = true;
    memo.SetLines(lines);
    memo.SetDesignBounds(12, 12, 362, 252);
    memo.SetTabOrder(0);
}
