#include "core/Blanks.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const TBlanks blanks = ParseBlanks(line);
    if (blanks.Error != TBlanksError::None) {
        if (!blanks.Fields.empty() || blanks.Culprit.empty())
            __builtin_trap();
        return 0;
    }
    if (blanks.Fields.size() > kBlanksMax || (!blanks.Fields.empty() && !HasBlanks(line)))
        __builtin_trap();
    std::vector<std::string> values;
    for (const TBlankField& field : blanks.Fields) {
        const std::string& name = field.Name;
        if (name.empty() || name.find_first_of("{}=") != std::string::npos || name.front() == ' ' ||
            name.back() == ' ')
            __builtin_trap();
        values.push_back("");
    }
    // With every value empty, what is left is the line without its marks:
    // no "{{" that opened one survives, and nothing is added.
    const std::string empty = FillBlanks(line, values);
    if (empty.size() > line.size() || (!blanks.Fields.empty() && empty.size() == line.size()))
        __builtin_trap();
    // A value holding marks is put in as it is, never read again.
    for (std::string& v : values)
        v = "{{x}}";
    const std::string marked = FillBlanks(line, values);
    if (ParseBlanks(marked).Error != TBlanksError::None)
        __builtin_trap();
    return 0;
}
