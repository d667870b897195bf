#include "core/Launch.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);

    // The a-to-z folding, written plainly, for the checks below.
    std::string upper(line);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    if (ContainsNoCase(line, line.substr(size / 3, size / 2)) == false)
        __builtin_trap();

    const std::string ordinary = OrdinaryParameters(line);
    const std::string tool = ToolParameters(line);
    if (!StartsWith(ordinary, "/kTitle Orbitashell&&Color 4E&&") || ordinary.substr(31) != line)
        __builtin_trap();
    if (!StartsWith(tool, "/cTitle Orbitashell&&Color 4E&&") || tool.substr(31) != line)
        __builtin_trap();

    const bool capture = HasCaptureRequest(line);
    const bool hasTool = HasToolWord(line);
    const LaunchKind kind = ClassifyLine(line);
    const LaunchKind expected = capture ? (hasTool ? LaunchKind::Mixed : LaunchKind::Capture)
                                        : (hasTool ? LaunchKind::Tool : LaunchKind::Ordinary);
    if (kind != expected)
        __builtin_trap();

    const std::string remainder = RemoveFirstNoCase(line, CaptureWord());
    if (capture) {
        if (remainder.size() + CaptureWord().size() != line.size())
            __builtin_trap();
        // Only the first occurrence goes, and the text around it stays.
        const auto at = upper.find("EDIT+");
        if (line.substr(0, at) != std::string_view(remainder).substr(0, at) ||
            line.substr(at + 5) != std::string_view(remainder).substr(at))
            __builtin_trap();
    } else if (remainder != line) {
        __builtin_trap();
    }

    const std::string params = CaptureParameters(remainder);
    const std::string_view prefix = "/cTitle Orbitashell&&Color 4E&&\"%temp%\\EditCMD\"";
    if (!StartsWith(params, prefix))
        __builtin_trap();
    const std::string_view rest = std::string_view(params).substr(prefix.size());
    // The command is never glued to the batch file's name.
    if (!rest.empty() && rest.front() != ' ' && rest.front() != '\t')
        __builtin_trap();
    if (rest != remainder && rest != " " + remainder)
        __builtin_trap();
    return 0;
}
