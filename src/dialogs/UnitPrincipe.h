// A read-only text dialog: the user guide.
#pragma once
#include "ui/Form.h"
#include "ui/StdCtrls.h"

#include <string>
#include <vector>

class TPrincipe : public TForm {
public:
    explicit TPrincipe(TComponent* owner);

    TMemo mmPrincipe{this};
};

// The dialog while it is open; null otherwise.
extern TPrincipe* Principe;

// The text of the dialog, line by line.
const std::vector<std::string>& PrincipeLines();
