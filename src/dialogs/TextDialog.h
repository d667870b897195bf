// The shape the licence and the user guide share: a fixed dialog holding one
// read-only text box, closed by Escape.
#pragma once
#include "ui/Form.h"
#include "ui/StdCtrls.h"

#include <string>
#include <vector>

class TTextDialog : public TForm {
public:
    TMemo Memo{this};

protected:
    // name is the form's design name; the caret goes back to the start of
    // the text at every opening.
    TTextDialog(TComponent* owner, const char* name, const char* caption,
                const std::vector<std::string>& lines);
};
