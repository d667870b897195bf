// What the launch path asks and keeps beside the catalogues: the values of a
// line's blanks ("Compléter la commande", Orbitashell.ini) and the lines that
// ran (Historique.txt).
#pragma once
#include "app/FieldValues.h"
#include "app/HistoryFile.h"
#include "core/LaunchPlan.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TForm;

class TLaunchMemory {
public:
    // owner: the window the dialog and the error boxes belong to; folder:
    // the catalogues' folder, with its final separator. Reads the history.
    TLaunchMemory(TForm* owner, const std::string& folder);

    // Asks the values of line's blanks in "Compléter la commande", each
    // offered as last kept; preview gives the line as it would run with the
    // values typed so far. Nothing when the user cancels.
    std::optional<std::vector<std::string>>
    Ask(const std::string& line, const std::vector<TBlankField>& fields,
        const std::function<std::string(const std::vector<std::string>&)>& preview);
    // The values of a line that ran, for the next time.
    void Keep(const std::vector<TKeptValue>& values);
    // The history line of a line that ran; an empty one keeps nothing.
    void Ran(const std::string& line);
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
