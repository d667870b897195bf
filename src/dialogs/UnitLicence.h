// A read-only text dialog: the licence terms.
#pragma once
#include "dialogs/TextDialog.h"

#include <string>
#include <vector>

class TLicence : public TTextDialog {
public:
    explicit TLicence(TComponent* owner);

    // The text box by its design name.
    TMemo& Memo2 = Memo;
};

// The dialog while it is open; null otherwise.
extern TLicence* Licence;

// The text of the dialog, line by line.
const std::vector<std::string>& LicenceLines();
