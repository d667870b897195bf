// The blanks to fill at launch, and the memory of the lines that ran.
#include "app/DialogOpener.h"
#include "app/Unit1.h"
#include "core/Blanks.h"
#include "core/Launch.h"
#include "dialogs/UnitCompleterCommande.h"
#include "ui/MessageDialog.h"

namespace {

// A faulty mark as the error box quotes it: the rest of a long line is cut.
std::string Quoted(const std::string& text) {
    constexpr size_t kShown = 40;
    return "« " + (text.size() > kShown ? text.substr(0, kShown) + "…" : text) + " »";
}

} // namespace

void TForm1::OpenStores(const std::string& folder) {
    const auto report = [](const std::string& message) { ShowErrorMessage(message); };
    fieldValues_ = std::make_unique<TFieldValues>(folder + "Orbitashell.ini", "Valeurs", report);
    history_ = std::make_unique<THistoryFile>(folder + "Historique.txt", report);
    history_->Load();
}

bool TForm1::CompleteBlanks(std::string& line) {
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
    const std::vector<TBlankField> fields =
        fieldValues_ ? fieldValues_->Prefilled(blanks.Fields) : blanks.Fields;
    bool confirmed = false;
    std::vector<std::string> values;
    OpenDialogWith(
        this, CompleterCommande,
        [&](TCompleterCommande& dialog) {
            confirmed = dialog.ShowModal() == mrOk;
            values = dialog.Values();
        },
        line, fields);
    if (!confirmed)
        return false;
    if (fieldValues_)
        fieldValues_->Remember(blanks.Fields, values);
    line = FillBlanks(line, values);
    return true;
}

void TForm1::RememberLaunch(const std::string& line, bool elevated) {
    // As the box would hold it to run it the same way again.
    if (history_)
        history_->Add(elevated ? std::string(AdminWord()) + " " + line : line);
}
