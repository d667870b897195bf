#include "core/Launch.h"

#include "core/Ascii.h"

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr std::string_view kKeepOpen = "/kTitle Orbitashell&&Color 4E&&";
constexpr std::string_view kCloseAfter = "/cTitle Orbitashell&&Color 4E&&";
constexpr std::string_view kCaptureFile = "EditCmd.TXT";
// The viewer lies this deep under the program's folder: the batch file goes
// down to it, and the viewer looks as many folders up for the capture.
constexpr std::array<std::string_view, 2> kViewerFolders = {"Syst", "Driver"};
constexpr std::string_view kViewerName = "oshv.exe";

// The capture's steps, as the batch file and an elevated console both take them:
// the header, the line in an interpreter of its own, both appended to the
// capture file, then the viewer from its folder.
struct TCaptureSteps {
    std::string Header, Run;
    std::vector<std::string> Viewer;
};

TCaptureSteps CaptureSteps() {
    TCaptureSteps steps;
    steps.Header.append(">> ").append(kCaptureFile).append(" ECHO !OSH_HEAD!  !OSH_LINE!");
    steps.Run.append("CMD /D /S /C \"!OSH_LINE!\" >> ").append(kCaptureFile);
    for (std::string_view folder : kViewerFolders)
        steps.Viewer.push_back("CD " + std::string(folder));
    steps.Viewer.push_back("START " + std::string(kViewerName) + " ");
    return steps;
}

std::string BatchText() {
    // Delayed expansion hands the line over after the batch file's own
    // parsing, so its quotes and "&" reach the inner interpreter as typed;
    // ENDLOCAL before CD, which would undo the change of folder.
    const TCaptureSteps steps = CaptureSteps();
    std::string text = "CHCP 850\r\n:CHCP 1252\r\nSETLOCAL EnableDelayedExpansion\r\n";
    text.append(steps.Header).append("\r\n").append(steps.Run).append("\r\nENDLOCAL\r\n");
    for (const std::string& step : steps.Viewer)
        text.append(step).append("\r\n");
    return text;
}

std::string InlineText() {
    // The two steps need delayed expansion: an interpreter of their own that
    // has it, their text quoted whole so that the console passes it on as it
    // stands (its own quotes around !OSH_LINE! hold nothing special).
    const TCaptureSteps steps = CaptureSteps();
    std::string text = "CHCP 850&CMD /D /V:ON /S /C \"";
    text.append(steps.Header).append("&").append(steps.Run).append("\"");
    for (const std::string& step : steps.Viewer)
        text.append("&").append(step);
    return text;
}

constexpr std::array<std::string_view, 4> kToolWords = {"RegEdit", "MSConfig", "Control", "Start"};

std::string Concat(std::string_view a, std::string_view b) {
    std::string out;
    out.reserve(a.size() + b.size());
    out.append(a).append(b);
    return out;
}

} // namespace

std::size_t FindNoCase(std::string_view text, std::string_view word) {
    const auto it = std::search(text.begin(), text.end(), word.begin(), word.end(),
                                [](char a, char b) { return AsciiUpper(a) == AsciiUpper(b); });
    if (it == text.end() && !word.empty())
        return std::string_view::npos;
    return static_cast<std::size_t>(it - text.begin());
}

bool ContainsNoCase(std::string_view text, std::string_view word) {
    return FindNoCase(text, word) != std::string_view::npos;
}

bool HasCaptureRequest(std::string_view line) {
    return ContainsNoCase(line, CaptureWord());
}

bool HasToolWord(std::string_view line) {
    return std::any_of(kToolWords.begin(), kToolWords.end(),
                       [line](std::string_view word) { return ContainsNoCase(line, word); });
}

std::string OrdinaryParameters(std::string_view line) {
    return Concat(kKeepOpen, line);
}

std::string ToolParameters(std::string_view line) {
    return Concat(kCloseAfter, line);
}

bool HasAdminRequest(std::string_view line) {
    return ContainsNoCase(line, AdminWord());
}

std::string_view AdminWord() {
    return "Admin+";
}

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::string LineAfterCapture(std::string_view typed) {
    struct TFound {
        std::string_view::size_type at;
        std::string_view word;
    };
    std::vector<TFound> found;
    for (std::string_view word : {AdminWord(), CaptureWord()})
        if (const auto at = FindNoCase(typed, word); at != std::string_view::npos)
            found.push_back({at, word});
    std::sort(found.begin(), found.end(), [](auto& a, auto& b) { return a.at < b.at; });
    std::string rest(typed);
    // The later word first, so that the earlier one's place still holds.
    for (auto it = found.rbegin(); it != found.rend(); ++it) {
        std::size_t from = it->at, to = it->at + it->word.size();
        while (to < rest.size() && IsBlank(rest[to]))
            ++to;
        if (to == rest.size())
            while (from > 0 && IsBlank(rest[from - 1]))
                --from;
        rest.erase(from, to - from);
    }
    std::string out;
    for (const TFound& f : found)
        out.append(f.word).push_back(' ');
    const auto start = std::find_if_not(rest.begin(), rest.end(), IsBlank);
    if (start == rest.end() && !out.empty())
        out.pop_back();
    out.append(start, rest.end());
    return out;
}

std::string ElevatedParameters(std::string_view parameters, std::string_view folder) {
    // After "/k" or "/c": the rest of the line is what the interpreter runs.
    const std::string_view change = "cd /d \"";
    const std::string_view then = "\"&&";
    const auto switchEnd = std::min<std::string_view::size_type>(2, parameters.size());
    std::string out;
    out.reserve(parameters.size() + change.size() + folder.size() + then.size());
    out.append(parameters.substr(0, switchEnd)).append(change).append(folder).append(then);
    out.append(parameters.substr(switchEnd));
    return out;
}

bool InterpreterAccepts(std::string_view parameters) {
    return parameters.size() <= kInterpreterLineMax;
}

std::string_view CaptureBatchText() {
    static const std::string text = BatchText();
    return text;
}

std::string_view CaptureInlineText() {
    static const std::string text = InlineText();
    return text;
}

std::string_view CaptureBatchName() {
    return "EditCMD.bat";
}

std::string_view CaptureWord() {
    return "Edit+";
}

std::string_view CaptureFileName() {
    return kCaptureFile;
}

std::string ViewerPath() {
    std::string path;
    for (std::string_view folder : kViewerFolders)
        path.append(folder).append("\\");
    return path.append(kViewerName);
}

std::string CaptureFileFromViewerFolder() {
    std::string path;
    for (size_t i = 0; i < kViewerFolders.size(); ++i)
        path.append("..\\");
    return path.append(kCaptureFile);
}
