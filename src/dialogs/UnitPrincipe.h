// A read-only text dialog: the user guide.
#pragma once
#include "dialogs/TextDialog.h"

#include <string>
#include <vector>

class TPrincipe : public TTextDialog {
public:
    explicit TPrincipe(TComponent* owner);

    // The text box by its design name.
    TMemo& mmPrincipe = Memo;
};

// The dialog while it is open; null otherwise.
extern TPrincipe* Principe;

// The text of the dialog, line by line.
const std::vector<std::string>& PrincipeLines();
