// The launch plan's promises, for any box and values:
//  - a line refused before its values are asked is refused whatever they are,
//    and values only ever add refusals that depend on them;
//  - values come out as typed, in the command and in what is kept;
//  - the history line, taken back into the box, runs the same parameters,
//    and is kept whenever the box could hold the command at all;
//  - a line led by a blank keeps no history line.
// Input: a byte of facts, then the box and the values, parted by 0x1F.
#include "core/LaunchPlan.h"
#include "core/ParenComments.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The interpreter's reading of text set by "set NAME=...": a caret keeps
// the next byte as it is; an operator or a quote left bare would cut or
// change the value.
bool ReadsBackAs(std::string_view escaped, std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] == '^' && i + 1 < escaped.size())
            out += escaped[++i];
        else if (std::string_view("^&|<>()\"").find(escaped[i]) != std::string_view::npos)
            return false;
        else
            out += escaped[i];
    }
    return out == text;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

bool HasBreak(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

bool HasWord(std::string_view text) {
    return ContainsNoCase(text, AdminWord()) || ContainsNoCase(text, CaptureWord());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    TLaunchFacts facts;
    facts.ElevationAsked = data[0] & 1;
    facts.Elevated = data[0] & 2;
    facts.CaptureReady = !(data[0] & 4);
    facts.InterpreterMax = data[0] & 8 ? 120 : kInterpreterLineMax;
    facts.CurrentFolder = "C:\\Outils (x86)";
    facts.Stamp = "08/12/2026 14:02:07";
    const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
    std::vector<std::string> parts;
    for (std::size_t from = 0;;) {
        const auto sep = input.find('\x1F', from);
        parts.emplace_back(input.substr(from, sep - from));
        if (sep == std::string_view::npos || parts.size() > kBlanksMax)
            break;
        from = sep + 1;
    }
    const std::string box = parts.front();
    const std::vector<std::string> values(parts.begin() + 1, parts.end());

    const auto prepared = PrepareLaunch(box, facts);
    const auto planned = PlanLaunch(box, values, facts);
    // A refusal has its reason in the input.
    for (const TLaunchRefusal* refusal :
         {std::get_if<TLaunchRefusal>(&prepared), std::get_if<TLaunchRefusal>(&planned)}) {
        if (!refusal)
            continue;
        const bool broken = HasBreak(box) || (refusal == std::get_if<TLaunchRefusal>(&planned) &&
                                              std::any_of(values.begin(), values.end(), HasBreak));
        if ((refusal->Kind == TLaunchRefusalKind::LineBreak && !broken) ||
            (refusal->Kind == TLaunchRefusalKind::Mixed && !HasCaptureRequest(box)) ||
            (refusal->Kind == TLaunchRefusalKind::CaptureUnready &&
             (facts.CaptureReady || !HasCaptureRequest(box))) ||
            (refusal->Kind == TLaunchRefusalKind::TooLong &&
             refusal->Length <= facts.InterpreterMax))
            __builtin_trap();
    }
    if (const auto* early = std::get_if<TLaunchRefusal>(&prepared)) {
        const auto* late = std::get_if<TLaunchRefusal>(&planned);
        if (!late || late->Kind != early->Kind)
            __builtin_trap();
        return 0;
    }
    const auto& fields = std::get<TLaunchAsk>(prepared).Fields;
    if (const auto* late = std::get_if<TLaunchRefusal>(&planned)) {
        if (late->Kind != TLaunchRefusalKind::Mixed && late->Kind != TLaunchRefusalKind::TooLong &&
            late->Kind != TLaunchRefusalKind::LineBreak)
            __builtin_trap();
        return 0;
    }
    const TLaunchPlan& plan = std::get<TLaunchPlan>(planned);
    if (LaunchCommand(box, values) != plan.Command)
        __builtin_trap();
    if (plan.Parameters.size() > facts.InterpreterMax)
        __builtin_trap();

    // Values as typed.
    if (plan.Values.size() != fields.size())
        __builtin_trap();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string typed = i < values.size() ? values[i] : "";
        if (plan.Values[i].Name != fields[i].Name || plan.Values[i].Value != typed)
            __builtin_trap();
        if (plan.Command.find(typed) == std::string::npos)
            __builtin_trap();
    }
    if (!ReadsBackAs(CmdEscaped(plan.Command), plan.Command))
        __builtin_trap();

    const std::string& kept = plan.HistoryLine;
    if (!box.empty() && IsBlank(box.front()) && !kept.empty())
        __builtin_trap();
    if (!kept.empty()) {
        if (StripParenComments(kept) != kept)
            __builtin_trap();
        TLaunchFacts again = facts;
        again.ElevationAsked = false;
        const auto replay = PlanLaunch(kept, {}, again);
        const auto* p = std::get_if<TLaunchPlan>(&replay);
        if (!p || p->Parameters != plan.Parameters || p->RunAs != plan.RunAs ||
            p->Command != plan.Command || !p->Values.empty())
            __builtin_trap();
    }
    // Kept whenever the box could hold the command: nothing in it the box
    // would read as a mark or a word, and no blank where it would be lost.
    const bool holdable = !plan.Command.empty() && !IsBlank(plan.Command.front()) &&
                          plan.Command.find("{{") == std::string::npos && !HasWord(plan.Command);
    if (!box.empty() && !IsBlank(box.front()) && holdable && kept.empty())
        __builtin_trap();
    return 0;
}
