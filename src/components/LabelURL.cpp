#include "components/LabelURL.h"

#include "ui/System.h"

// ActiveFont starts as the class library's default font (8 points at 96 dpi),
// blue and underlined.
TLabelURL::TLabelURL(TComponent* owner)
    : TLabel(owner), ActiveFont("MS Sans Serif", 11, clBlue, fsUnderline), savedFont_(Font) {
    Cursor = crHandPoint;
}

void TLabelURL::MouseEnter() {
    savedFont_ = Font;
    Font = ActiveFont;
    TLabel::MouseEnter();
}

void TLabelURL::MouseLeave() {
    Font = savedFont_;
    TLabel::MouseLeave();
}

void TLabelURL::Click() {
    TLabel::Click();
    if (TWinControl* parent = Parent())
        Sys().ShellOpen(parent->Handle(), "Open", URL, "", "", SW_SHOWNORMAL);
}
