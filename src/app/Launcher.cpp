#include "app/Launcher.h"

#include "app/LaunchMemory.h"
#include "core/Launch.h"
#include "core/ParenComments.h"
#include "ui/AnsiPaths.h"
#include "ui/Clipboard.h"
#include "ui/Exceptions.h"
#include "ui/Files.h"
#include "ui/Form.h"
#include "ui/MessageDialog.h"
#include "ui/System.h"

#include <cstdio>

namespace {

// The system's interpreter by its full path: given a bare "CMD", the shell
// would run a CMD.exe lying in the program's folder first.
std::string InterpreterPath() {
    std::string comspec = Sys().Environment("ComSpec").value_or("");
    if (!comspec.empty() && FileExists(comspec))
        return comspec;
    return Sys().SystemFolder() + "\\cmd.exe";
}

// In UTF-16: the console expands %temp% itself, whatever letters the
// folder's name holds, and the batch file must be where it looks.
std::wstring TempFolder() {
    return Sys().WideEnvironment("Temp").value_or(L"");
}

std::wstring BatchIn(const std::wstring& folder) {
    return folder + L"\\" + Widened(CaptureBatchName());
}

// The batch file as messages name it; without Temp, where it would land.
std::string ShownBatch(const std::wstring& folder) {
    return folder.empty() ? "\\" + std::string(CaptureBatchName()) : ShownPath(BatchIn(folder));
}

// A faulty mark as the error box quotes it: the rest of a long line is cut.
std::string Quoted(const std::string& text) {
    constexpr size_t kShown = 40;
    return "« " + (text.size() > kShown ? text.substr(0, kShown) + "…" : text) + " »";
}

std::string Stamp() {
    const SYSTEMTIME t = Sys().LocalTime();
    char text[32];
    std::snprintf(text, sizeof text, "%02u/%02u/%04u %02u:%02u:%02u", t.wDay, t.wMonth, t.wYear,
                  t.wHour, t.wMinute, t.wSecond);
    return text;
}

std::string RefusalMessage(const TLaunchRefusal& refusal) {
    switch (refusal.Kind) {
    case TLaunchRefusalKind::UnclosedBlank:
        return "Valeur à compléter sans « }} » : " + Quoted(refusal.Culprit) + " !";
    case TLaunchRefusalKind::EmptyBlankName:
        return "Valeur à compléter sans nom : " + Quoted(refusal.Culprit) + " !";
    case TLaunchRefusalKind::TooManyBlanks:
        return "Trop de valeurs à compléter : " + std::to_string(kBlanksMax) + " au plus, et " +
               Quoted(refusal.Culprit) + " est de trop !";
    case TLaunchRefusalKind::ReservedName:
        return "Valeur à compléter dont le nom commence par « [ » ou « ; », qu'Orbitashell.ini "
               "ne peut pas garder : " +
               Quoted(refusal.Culprit) + " !";
    case TLaunchRefusalKind::Mixed:
        return "Mélange incompatible de commandes !";
    case TLaunchRefusalKind::TooLong:
        return "Ligne de commande trop longue : l'interpréteur accepte " +
               std::to_string(kInterpreterLineMax) +
               " caractères au plus, ceux qu'Orbitashell ajoute compris (ici " +
               std::to_string(refusal.Length) + ") !";
    case TLaunchRefusalKind::LineBreak:
        return "Un saut de ligne coupe la ligne de commande : elle n'est pas lancée !";
    case TLaunchRefusalKind::CaptureUnready:
        break;
    }
    return {};
}

} // namespace

TLauncher::TLauncher(TForm& owner, TLaunchMemory& memory) : owner_(owner), memory_(memory) {}

std::optional<std::string> TLauncher::Launch(const std::string& box, bool elevate) {
    const TLaunchFacts facts = Facts(box, elevate);
    const auto prepared = PrepareLaunch(box, facts);
    if (const auto* refusal = std::get_if<TLaunchRefusal>(&prepared)) {
        Refuse(*refusal);
        return std::nullopt;
    }
    std::vector<std::string> values;
    if (const auto& fields = std::get<TLaunchAsk>(prepared).Fields; !fields.empty()) {
        auto preview = [&](const std::vector<std::string>& typed) {
            const auto plan = PlanLaunch(box, typed, facts);
            if (const auto* p = std::get_if<TLaunchPlan>(&plan))
                return p->Command;
            const auto& refusal = std::get<TLaunchRefusal>(plan);
            return refusal.Kind == TLaunchRefusalKind::CaptureUnready ? std::string()
                                                                      : RefusalMessage(refusal);
        };
        auto asked = memory_.Ask(box, fields, preview);
        if (!asked)
            return std::nullopt;
        values = std::move(*asked);
    }
    const auto planned = PlanLaunch(box, values, facts);
    if (const auto* refusal = std::get_if<TLaunchRefusal>(&planned)) {
        Refuse(*refusal);
        return std::nullopt;
    }
    const TLaunchPlan& plan = std::get<TLaunchPlan>(planned);
    // An elevated console runs the capture's steps from its parameters.
    if (plan.Capture && !plan.RunAs)
        GetBatTemp();
    // A capture's console is nobody's: the viewer it starts outlives it.
    HWND owner = plan.Capture && !plan.RunAs ? nullptr : owner_.Handle();
    if (!RunInterpreter(owner, plan.RunAs, plan.Parameters))
        return std::nullopt;
    memory_.Keep(plan.Values);
    memory_.Ran(plan.HistoryLine);
    return plan.BoxAfter;
}

void TLauncher::Copy(const std::string& box) {
    // A list's row still holds its comments; the box's line has none left.
    const std::string line = StripParenComments(box);
    // Only a faulty mark keeps a line from being copied: the other refusals
    // are about running it.
    TBlanks blanks = ParseBlanks(line);
    if (blanks.Error != TBlanksError::None) {
        Refuse(std::get<TLaunchRefusal>(PrepareLaunch(line, {})));
        return;
    }
    std::vector<std::string> values;
    if (!blanks.Fields.empty()) {
        for (TBlankField& field : blanks.Fields)
            field.Default = UndoubleParens(field.Default);
        auto asked = memory_.Ask(line, blanks.Fields, [&](const std::vector<std::string>& typed) {
            return LaunchCommand(line, typed).value_or("");
        });
        if (!asked)
            return;
        values = std::move(*asked);
    }
    SetClipboardText(owner_.Handle(), LaunchCommand(line, values).value_or(""));
}

TLaunchFacts TLauncher::Facts(const std::string& box, bool elevate) {
    TLaunchFacts facts;
    facts.ElevationAsked = elevate;
    facts.Elevated = Sys().IsElevated();
    facts.CurrentFolder = Sys().CurrentFolder();
    facts.Stamp = Stamp();
    // The checks touch the disk: only for a line that asks for a capture.
    captureProblem_ = HasCaptureRequest(box) ? CaptureProblem() : nullptr;
    facts.CaptureReady = !captureProblem_;
    return facts;
}

std::exception_ptr TLauncher::CaptureProblem() {
    try {
        const std::string viewer = ViewerPath();
        if (!FileExists(viewer))
            throw EFOpenError("Impossible d'ouvrir le fichier \"" + FullPath(viewer) + "\". " +
                              SysErrorMessage(ERROR_FILE_NOT_FOUND));
        CheckAppendable(std::string(CaptureFileName()));
        // Without Temp the batch file would land at the root of the current
        // drive, where the interpreter would not look for it.
        const std::wstring temp = TempFolder();
        if (temp.empty() || !DirectoryExists(temp))
            throw EFCreateError(
                "Impossible de créer le fichier \"" + ShownBatch(temp) + "\". " +
                SysErrorMessage(temp.empty() ? ERROR_ENVVAR_NOT_FOUND : ERROR_PATH_NOT_FOUND));
    } catch (const Exception&) {
        return std::current_exception();
    }
    return nullptr;
}

void TLauncher::Refuse(const TLaunchRefusal& refusal) {
    // The files' errors go to the application's error box, as when they are written.
    if (refusal.Kind == TLaunchRefusalKind::CaptureUnready)
        std::rethrow_exception(captureProblem_);
    ShowErrorMessage(RefusalMessage(refusal));
}

bool TLauncher::RunInterpreter(HWND owner, bool runAs, const std::string& parameters) {
    const DWORD error = Sys().ShellRun(owner, runAs ? "runas" : nullptr, InterpreterPath(),
                                       parameters, SW_SHOWNORMAL);
    if (error == ERROR_CANCELLED) // the user said no: nothing more to say
        return false;
    if (error)
        throw Exception("Impossible de lancer \"" + InterpreterPath() + "\"" +
                        (runAs ? " en tant qu'administrateur" : "") + ". " +
                        SysErrorMessage(error) + ".");
    return true;
}

void TLauncher::GetBatTemp() {
    const std::wstring temp = TempFolder();
    TempDir = temp.empty() ? std::string() : ShownPath(temp);
    if (temp.empty())
        throw EFCreateError("Impossible de créer le fichier \"" + ShownBatch(temp) + "\". " +
                            SysErrorMessage(ERROR_ENVVAR_NOT_FOUND));
    // Written shared: a console still running the previous capture may hold
    // the file open, and the content is the same every time.
    WriteWholeFile(BatchIn(temp), CaptureBatchText());
}
