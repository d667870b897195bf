// What the launch path asks and keeps beside the catalogues: the values of a
// line's blanks ("Compléter la commande", Orbitashell.ini) and the lines that
// ran (Historique.txt).
#pragma once
#include "app/FieldValues.h"
#include "app/HistoryFile.h"

#include <string>
#include <string_view>
#include <vector>

class TForm;

class TLaunchMemory {
public:
    // owner: the window the dialog and the error boxes belong to; folder:
    // the catalogues' folder, with its final separator. Reads the history.
    TLaunchMemory(TForm* owner, const std::string& folder);

    // Asks the values of the line's blanks and puts them in, keeping them for
    // the next time; false when a faulty mark is named or the user cancels.
    bool Complete(std::string& line);
    // A line that ran; elevated: from the menu or the keys, without "Admin+".
    void Ran(const std::string& line, bool elevated);
    THistoryFile& History() { return history_; }
    // The lines that ran offered for typed, newest first: all of them for
    // nothing typed, else those with every word typed.
    std::vector<std::string> HistoryFor(std::string_view typed) const;
    bool HasHistory() const { return !history_.Lines().empty(); }
    // Forgets the lines that ran once the user agrees.
    void ForgetHistory();

private:
    TForm* owner_;
    TFieldValues values_;
    THistoryFile history_;
};
