#include "core/LaunchPlan.h"

#include "core/ParenComments.h"

#include <algorithm>
#include <array>
#include <optional>

namespace {

// What a mark's bytes become where words are looked for outside the marks:
// part of no word.
constexpr char kMarkByte = '\x01';

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The box read once: the request words found outside the marks, and the
// rest of the line, its marks where they now stand.
struct TReading {
    TBlanks Blanks;
    bool Admin = false;
    bool Capture = false;
    bool AdminFirst = false; // typed before Edit+
    std::string Rest;
    std::vector<TBlankMark> Marks; // in Rest
    std::string Masked;            // Rest with every mark's bytes kMarkByte
};

TReading Read(std::string_view box) {
    TReading r;
    r.Blanks = ParseBlanks(box);
    if (r.Blanks.Error != TBlanksError::None)
        return r;
    // Words are looked for outside the marks only: a mark's text is a value to come.
    std::string masked(box);
    for (const TBlankMark& m : r.Blanks.Marks)
        std::fill(masked.begin() + static_cast<std::ptrdiff_t>(m.Begin),
                  masked.begin() + static_cast<std::ptrdiff_t>(m.End), kMarkByte);
    struct TCut {
        std::size_t from, to;
    };
    std::vector<TCut> cuts;
    std::array<std::size_t, 2> at{};
    const std::array<std::string_view, 2> words = {AdminWord(), CaptureWord()};
    for (std::size_t w = 0; w < words.size(); ++w) {
        at[w] = FindNoCase(masked, words[w]);
        if (at[w] == std::string_view::npos)
            continue;
        // As LineAfterCapture takes it out: with the blanks after it, or at
        // the end, with those before it.
        std::size_t from = at[w], to = at[w] + words[w].size();
        while (to < box.size() && IsBlank(box[to]))
            ++to;
        if (to == box.size())
            while (from > 0 && IsBlank(box[from - 1]))
                --from;
        cuts.push_back({from, to});
    }
    r.Admin = at[0] != std::string_view::npos;
    r.Capture = at[1] != std::string_view::npos;
    r.AdminFirst = r.Admin && (!r.Capture || at[0] < at[1]);
    // Two words at the end may share the blanks between them.
    std::size_t mark = 0;
    for (std::size_t i = 0; i < box.size(); ++i) {
        if (std::any_of(cuts.begin(), cuts.end(),
                        [i](const TCut& c) { return i >= c.from && i < c.to; }))
            continue;
        if (mark < r.Blanks.Marks.size() && i == r.Blanks.Marks[mark].Begin) {
            const TBlankMark& m = r.Blanks.Marks[mark++];
            r.Marks.push_back({r.Rest.size(), r.Rest.size() + (m.End - m.Begin), m.Field});
            r.Rest.append(box.substr(m.Begin, m.End - m.Begin));
            r.Masked.append(m.End - m.Begin, kMarkByte);
            i = m.End - 1;
            continue;
        }
        r.Rest += box[i];
        r.Masked += box[i];
    }
    return r;
}

std::optional<TLaunchRefusal> BlanksRefusal(const TBlanks& blanks) {
    switch (blanks.Error) {
    case TBlanksError::None:
        return std::nullopt;
    case TBlanksError::Unclosed:
        return TLaunchRefusal{TLaunchRefusalKind::UnclosedBlank, blanks.Culprit};
    case TBlanksError::EmptyName:
        return TLaunchRefusal{TLaunchRefusalKind::EmptyBlankName, blanks.Culprit};
    case TBlanksError::TooMany:
        return TLaunchRefusal{TLaunchRefusalKind::TooManyBlanks, blanks.Culprit};
    case TBlanksError::ReservedName:
        return TLaunchRefusal{TLaunchRefusalKind::ReservedName, blanks.Culprit};
    }
    return std::nullopt;
}

// The command: the values put in as typed, the rest with its doubled
// parentheses made single outside quotes. A '"' inside a mark counts as the
// comment rule counted it when the box took the line.
std::string CommandOf(const TReading& r, const std::vector<std::string>& values) {
    std::string out;
    out.reserve(r.Rest.size());
    bool quoted = false;
    std::size_t mark = 0;
    for (std::size_t i = 0; i < r.Rest.size(); ++i) {
        if (mark < r.Marks.size() && i == r.Marks[mark].Begin) {
            const TBlankMark& m = r.Marks[mark++];
            if (m.Field < values.size())
                out += values[m.Field];
            quoted ^= std::count(r.Rest.begin() + static_cast<std::ptrdiff_t>(m.Begin),
                                 r.Rest.begin() + static_cast<std::ptrdiff_t>(m.End), '"') %
                      2;
            i = m.End - 1;
            continue;
        }
        const char c = r.Rest[i];
        out += c;
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '(' || c == ')') && i + 1 < r.Rest.size() && r.Rest[i + 1] == c)
            ++i;
    }
    return out;
}

std::string CaptureParameters(std::string_view stamp, std::string_view command, bool inline_) {
    // The line reaches the capture in a variable, never on a command line:
    // there "&" and "|" would end the capture early, and Wine's cmd expands
    // "%*" a second time.
    std::string out = ToolParameters("");
    out.append("set OSH_HEAD=----- ").append(CmdEscaped(stamp));
    out.append("&set OSH_LINE=").append(CmdEscaped(command)).append("&");
    if (inline_)
        out.append(CaptureInlineText());
    else
        out.append("\"%temp%\\EditCMD\"");
    return out;
}

bool HasLineBreak(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// The refusals no value can lift, in the order both PrepareLaunch and Plan
// take them, so that a line refused early is refused for the same reason later.
std::optional<TLaunchRefusal> FixedRefusal(const TReading& r, const TLaunchFacts& facts) {
    if (auto refusal = BlanksRefusal(r.Blanks))
        return refusal;
    if (r.Capture && !facts.CaptureReady)
        return TLaunchRefusal{TLaunchRefusalKind::CaptureUnready, {}};
    if (r.Capture && HasToolWord(r.Masked))
        return TLaunchRefusal{TLaunchRefusalKind::Mixed, {}};
    // A mark's too: a name with a line break would split its line in the
    // settings file.
    if (HasLineBreak(r.Rest))
        return TLaunchRefusal{TLaunchRefusalKind::LineBreak, {}};
    return std::nullopt;
}

std::variant<TLaunchRefusal, TLaunchPlan> Plan(std::string_view box, const TReading& r,
                                               const std::vector<std::string>& values,
                                               const TLaunchFacts& facts, bool withHistory) {
    if (auto refusal = FixedRefusal(r, facts))
        return *refusal;
    TLaunchPlan plan;
    plan.Command = CommandOf(r, values);
    plan.RunAs = (facts.ElevationAsked || r.Admin) && !facts.Elevated;
    plan.Capture = r.Capture;
    const bool tool = HasToolWord(plan.Command);
    if (r.Capture)
        plan.Parameters = CaptureParameters(facts.Stamp, plan.Command, plan.RunAs);
    else
        plan.Parameters = tool ? ToolParameters(plan.Command) : OrdinaryParameters(plan.Command);
    if (plan.RunAs)
        plan.Parameters = ElevatedParameters(plan.Parameters, facts.CurrentFolder);
    // The length before what only values bring: no value shortens a line,
    // so one PrepareLaunch found too long is too long here first.
    if (plan.Parameters.size() > facts.InterpreterMax)
        return TLaunchRefusal{TLaunchRefusalKind::TooLong, {}, plan.Parameters.size()};
    if (r.Capture && tool)
        return TLaunchRefusal{TLaunchRefusalKind::Mixed, {}};
    if (HasLineBreak(plan.Command))
        return TLaunchRefusal{TLaunchRefusalKind::LineBreak, {}};

    for (std::size_t i = 0; i < r.Blanks.Fields.size(); ++i)
        plan.Values.push_back({r.Blanks.Fields[i].Name, i < values.size() ? values[i] : ""});
    plan.BoxAfter = r.Capture ? LineAfterCapture(box) : std::string(box);
    if (!withHistory || box.empty() || IsBlank(box.front()))
        return plan;

    // The words first, in the order typed, then the command as the box
    // holds it to run it again.
    std::string line;
    if (r.Capture)
        line.append(CaptureWord()).push_back(' ');
    if (r.Admin && !r.AdminFirst)
        line.append(AdminWord()).push_back(' ');
    else if (r.Admin || facts.ElevationAsked)
        line.insert(0, std::string(AdminWord()) + " ");
    line += DoubleParens(plan.Command);
    if (plan.Command.empty() && !line.empty())
        line.pop_back();
    if (line.empty())
        return plan;
    // A value may hold what the box would read otherwise (a "{{", a word, a
    // blank first): such a line is not kept rather than kept wrong.
    TLaunchFacts again = facts;
    again.ElevationAsked = false;
    const TReading back = Read(line);
    if (StripParenComments(line) != line || IsBlank(line.front()) ||
        back.Blanks.Error != TBlanksError::None || !back.Blanks.Fields.empty())
        return plan;
    const auto replay = Plan(line, back, {}, again, false);
    if (const auto* p = std::get_if<TLaunchPlan>(&replay);
        p && p->Parameters == plan.Parameters && p->RunAs == plan.RunAs)
        plan.HistoryLine = std::move(line);
    return plan;
}

} // namespace

std::variant<TLaunchRefusal, TLaunchAsk> PrepareLaunch(std::string_view box,
                                                       const TLaunchFacts& facts) {
    const TReading r = Read(box);
    if (auto refusal = FixedRefusal(r, facts))
        return *refusal;
    // What the shortest values, none at all, already make too long.
    const auto empty = Plan(box, r, {}, facts, false);
    if (const auto* refusal = std::get_if<TLaunchRefusal>(&empty);
        refusal && refusal->Kind == TLaunchRefusalKind::TooLong)
        return *refusal;
    TLaunchAsk ask;
    ask.Fields = r.Blanks.Fields;
    for (TBlankField& field : ask.Fields)
        field.Default = UndoubleParens(field.Default);
    return ask;
}

std::variant<TLaunchRefusal, TLaunchPlan> PlanLaunch(std::string_view box,
                                                     const std::vector<std::string>& values,
                                                     const TLaunchFacts& facts) {
    return Plan(box, Read(box), values, facts, true);
}

std::optional<std::string> LaunchCommand(std::string_view box,
                                         const std::vector<std::string>& values) {
    const TReading r = Read(box);
    if (r.Blanks.Error != TBlanksError::None)
        return std::nullopt;
    return CommandOf(r, values);
}

std::string CmdEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (char c : text) {
        if (std::string_view("^&|<>()\"").find(c) != std::string_view::npos)
            out += '^';
        out += c;
    }
    return out;
}
