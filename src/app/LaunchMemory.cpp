#include "app/LaunchMemory.h"

#include "app/DialogOpener.h"
#include "core/Blanks.h"
#include "core/History.h"
#include "core/Launch.h"
#include "dialogs/UnitCompleterCommande.h"
#include "ui/Application.h"
#include "ui/MessageDialog.h"

namespace {

// A faulty mark as the error box quotes it: the rest of a long line is cut.
std::string Quoted(const std::string& text) {
    constexpr size_t kShown = 40;
    return "« " + (text.size() > kShown ? text.substr(0, kShown) + "…" : text) + " »";
}

void Report(const std::string& message) {
    ShowErrorMessage(message);
}

} // namespace

TLaunchMemory::TLaunchMemory(TForm* owner, const std::string& folder)
    : owner_(owner), values_(folder + "Orbitashell.ini", "Valeurs", Report),
      history_(folder + "Historique.txt", Report) {
    history_.Load();
}

bool TLaunchMemory::Complete(std::string& line) {
    const TBlanks blanks = ParseBlanks(line);
    switch (blanks.Error) {
    case TBlanksError::None:
        break;
    case TBlanksError::Unclosed:
        ShowErrorMessage("Valeur à compléter sans « }} » : " + Quoted(blanks.Culprit) + " !");
        return false;
    case TBlanksError::EmptyName:
        ShowErrorMessage("Valeur à compléter sans nom : " + Quoted(blanks.Culprit) + " !");
        return false;
    case TBlanksError::TooMany:
        ShowErrorMessage("Trop de valeurs à compléter : " + std::to_string(kBlanksMax) +
                         " au plus, et " + Quoted(blanks.Culprit) + " est de trop !");
        return false;
    }
    bool confirmed = false;
    std::vector<std::string> values;
    OpenDialogWith(
        owner_, CompleterCommande,
        [&](TCompleterCommande& dialog) {
            confirmed = dialog.ShowModal() == mrOk;
            values = dialog.Values();
        },
        line, values_.Prefilled(blanks.Fields));
    if (!confirmed)
        return false;
    values_.Remember(blanks.Fields, values);
    line = FillBlanks(line, values);
    return true;
}

void TLaunchMemory::Ran(const std::string& line, bool elevated) {
    // As the box would hold it to run it the same way again.
    history_.Add(elevated ? std::string(AdminWord()) + " " + line : line);
}

std::vector<std::string> TLaunchMemory::HistoryFor(std::string_view typed) const {
    return HistoryMatches(history_.Lines(), typed);
}

void TLaunchMemory::ForgetHistory() {
    // No is the default: a stray Enter keeps what cannot come back.
    if (Application->MessageBox("Effacer l'historique des commandes lancées ?",
                                MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES)
        history_.Clear();
}
