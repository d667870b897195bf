// What a launch of the command-line box does, decided whole before anything
// is asked or written: the interpreter's parameters, elevation, capture, the
// history line and the values to keep, or the reason it is refused.
#pragma once
#include "core/Blanks.h"
#include "core/Launch.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// What the launch depends on beside the box.
struct TLaunchFacts {
    // From the menu entry or Ctrl+Shift: run as administrator.
    bool ElevationAsked = false;
    // The program runs elevated already: its consoles inherit its rights.
    bool Elevated = false;
    // Where an elevated console must start, since it starts in the system folder.
    std::string CurrentFolder;
    // The viewer is there, the capture file can be written and Temp is set.
    bool CaptureReady = true;
    std::size_t InterpreterMax = kInterpreterLineMax;
    // When the capture starts, as its header names it: "08/12/2026 14:02:07".
    std::string Stamp;
};

enum class TLaunchRefusalKind {
    UnclosedBlank,  // Culprit: the mark from its "{{" on
    EmptyBlankName, // Culprit: the mark
    TooManyBlanks,  // Culprit: the first name beyond kBlanksMax
    ReservedName,   // Culprit: a name the settings file could not give back
    Mixed,          // a capture with a graphical tool
    CaptureUnready, // the facts' CaptureReady is false
    TooLong,        // Length: the parameters' length
    LineBreak,      // a CR, LF or NUL would cut the line, or a mark
};

struct TLaunchRefusal {
    TLaunchRefusalKind Kind;
    std::string Culprit;
    std::size_t Length = 0;
};

// The blanks to ask before the line can be planned; none for a line without marks.
struct TLaunchAsk {
    // Defaults as the user reads them: doubled parentheses made single.
    std::vector<TBlankField> Fields;
};

struct TLaunchPlan {
    // What the interpreter runs: values in as typed, the words Admin+ and
    // Edit+ out, doubled parentheses single.
    std::string Command;
    std::string Parameters;
    bool RunAs = false;   // through the elevation prompt
    bool Capture = false; // to the viewer: through the batch file, or inline when RunAs
    // The line kept in the history, which run from the box gives these same
    // parameters; empty when nothing is kept.
    std::string HistoryLine;
    // The values to keep, field for field.
    std::vector<TKeptValue> Values;
    // The box's text once the line has run.
    std::string BoxAfter;
};

// The checks that no value can change: a line refused here is refused
// whatever its values, before they are asked.
std::variant<TLaunchRefusal, TLaunchAsk> PrepareLaunch(std::string_view box,
                                                       const TLaunchFacts& facts);
// The whole launch, values field for field with PrepareLaunch's (a missing
// one counts as empty).
std::variant<TLaunchRefusal, TLaunchPlan>
PlanLaunch(std::string_view box, const std::vector<std::string>& values, const TLaunchFacts& facts);

// The command as the interpreter would run it, whether or not the launch is
// refused (a line copied rather than run); nothing when a mark is faulty.
std::optional<std::string> LaunchCommand(std::string_view box,
                                         const std::vector<std::string>& values);

// The text the interpreter's own parser turns back into text: its special
// characters escaped, so that "set NAME=" followed by it stores text itself.
std::string CmdEscaped(std::string_view text);
