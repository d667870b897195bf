// TLabelURL: a standard label that hands its URL to the shell when clicked and
// shows ActiveFont while the pointer is over it.
#pragma once
#include "ui/StdCtrls.h"

#include <string>

class TLabelURL : public TLabel {
public:
    explicit TLabelURL(TComponent* owner);

    // What a click opens: a web or "mailto:" address, a file or a program.
    std::string URL;
    // Shown while the pointer is over the label; assigning copies every attribute.
    TFont ActiveFont;
    // The normal font as it was when the pointer last entered.
    const TFont& SavedFont() const { return savedFont_; }

    void Click() override;
    void MouseEnter() override;
    void MouseLeave() override;

private:
    TFont savedFont_;
};
