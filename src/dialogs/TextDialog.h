// The shape the licence and the user guide share: a fixed dialog holding one
// read-only text box, closed by Escape.
#pragma once
#include "ui/Form.h"
#include "ui/StdCtrls.h"

#include <string>
#include <vector>

// Gives form its frame and memo its place, look and lines; the caret goes back
// to the start of the text at every opening.
void DesignTextDialog(TForm& form, TMemo& memo, const char* name, const char* caption,
                      const std::vector<std::string>& lines);
