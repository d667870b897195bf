// A read-only text dialog: the licence terms.
#pragma once
#include "ui/Form.h"
#include "ui/StdCtrls.h"

#include <string>
#include <vector>

class TLicence : public TForm {
public:
    explicit TLicence(TComponent* owner);

    TMemo Memo2{this};
};

// The dialog while it is open; null otherwise.
extern TLicence* Licence;

// The text of the dialog, line by line.
const std::vector<std::string>& LicenceLines();
