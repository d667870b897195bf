#include "app/LaunchMemory.h"

#include "app/DialogOpener.h"
#include "core/History.h"
#include "dialogs/UnitCompleterCommande.h"
#include "ui/Application.h"
#include "ui/MessageDialog.h"

namespace {

void Report(const std::string& message) {
    ShowErrorMessage(message);
}

} // namespace

TLaunchMemory::TLaunchMemory(TForm* owner, const std::string& folder)
    : owner_(owner), values_(folder + "Orbitashell.ini", "Valeurs", Report),
      history_(folder + "Historique.txt", Report) {
    history_.Load();
}

std::optional<std::vector<std::string>>
TLaunchMemory::Ask(const std::string& line, const std::vector<TBlankField>& fields,
                   const std::function<std::string(const std::vector<std::string>&)>& preview) {
    bool confirmed = false;
    std::vector<std::string> values;
    OpenDialogWith(
        owner_, CompleterCommande,
        [&](TCompleterCommande& dialog) {
            dialog.Preview = preview;
            confirmed = dialog.ShowModal() == mrOk;
            values = dialog.Values();
        },
        line, values_.Prefilled(fields));
    if (!confirmed)
        return std::nullopt;
    return values;
}

void TLaunchMemory::Keep(const std::vector<TKeptValue>& values) {
    values_.Keep(values);
}

void TLaunchMemory::Ran(const std::string& line) {
    if (!line.empty())
        history_.Add(line);
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
