#include "core/Blanks.h"

#include "core/Ascii.h"

#include <algorithm>
#include <optional>

namespace {

struct TMark {
    std::size_t begin = 0; // at "{{"
    std::size_t end = 0;   // just past "}}"
    std::string_view name; // trimmed
    std::optional<std::string_view> value;
};

// A Windows-1252 letter in capitals, accented ones too.
unsigned char Upper1252(char c) {
    const auto u = static_cast<unsigned char>(c);
    if ((u >= 0xE0 && u <= 0xFE && u != 0xF7) || (u >= 'a' && u <= 'z'))
        return static_cast<unsigned char>(u - 0x20);
    switch (u) {
    case 0x9A: // s caron
    case 0x9C: // oe
    case 0x9E: // z caron
        return static_cast<unsigned char>(u - 0x10);
    case 0xFF: // y diaeresis
        return 0x9F;
    default:
        return u;
    }
}

// The next mark at or after from; none when the line holds no more "{{".
// An unclosed mark has end == npos.
std::optional<TMark> NextMark(std::string_view line, std::size_t from) {
    const auto begin = line.find("{{", from);
    if (begin == std::string_view::npos)
        return std::nullopt;
    TMark mark;
    mark.begin = begin;
    const auto close = line.find("}}", begin + 2);
    const auto brace = line.find_first_of("{}", begin + 2);
    if (close == std::string_view::npos || brace < close) {
        mark.end = std::string_view::npos;
        return mark;
    }
    mark.end = close + 2;
    const std::string_view inside = line.substr(begin + 2, close - begin - 2);
    const auto equal = inside.find('=');
    mark.name = Trimmed(inside.substr(0, equal));
    if (equal != std::string_view::npos)
        mark.value = inside.substr(equal + 1);
    return mark;
}

} // namespace

bool SameBlankName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Upper1252(a[i]) != Upper1252(b[i]))
            return false;
    return true;
}

bool HasBlanks(std::string_view line) {
    return line.find("{{") != std::string_view::npos;
}

TBlanks ParseBlanks(std::string_view line) {
    TBlanks blanks;
    std::vector<bool> given; // field for field: a default was written
    std::size_t pos = 0;
    while (const auto mark = NextMark(line, pos)) {
        if (mark->end == std::string_view::npos) {
            blanks.Error = TBlanksError::Unclosed;
            blanks.Culprit = line.substr(mark->begin);
            break;
        }
        pos = mark->end;
        if (mark->name.empty()) {
            blanks.Error = TBlanksError::EmptyName;
            blanks.Culprit = line.substr(mark->begin, mark->end - mark->begin);
            break;
        }
        // The settings file keeps a value under its name as a key, which
        // must not read as a section or a comment.
        if (mark->name.front() == '[' || mark->name.front() == ';') {
            blanks.Error = TBlanksError::ReservedName;
            blanks.Culprit = mark->name;
            break;
        }
        TBlankField* field = nullptr;
        for (TBlankField& f : blanks.Fields)
            if (SameBlankName(f.Name, mark->name))
                field = &f;
        if (!field) {
            if (blanks.Fields.size() == kBlanksMax) {
                blanks.Error = TBlanksError::TooMany;
                blanks.Culprit = mark->name;
                break;
            }
            field = &blanks.Fields.emplace_back(TBlankField{std::string(mark->name), {}});
            given.push_back(false);
        }
        const auto index = static_cast<std::size_t>(field - blanks.Fields.data());
        blanks.Marks.push_back({mark->begin, mark->end, index});
        if (mark->value && !given[index]) {
            field->Default = *mark->value;
            given[index] = true;
        }
    }
    if (blanks.Error != TBlanksError::None) {
        blanks.Fields.clear();
        blanks.Marks.clear();
    }
    return blanks;
}

std::string FillBlanks(std::string_view line, const std::vector<std::string>& values) {
    std::string out;
    std::vector<std::string_view> names;
    std::size_t pos = 0;
    while (const auto mark = NextMark(line, pos)) {
        if (mark->end == std::string_view::npos)
            break;
        out.append(line.substr(pos, mark->begin - pos));
        std::size_t index = 0;
        while (index < names.size() && !SameBlankName(names[index], mark->name))
            ++index;
        if (index == names.size())
            names.push_back(mark->name);
        if (index < values.size())
            out += values[index];
        pos = mark->end;
    }
    out.append(line.substr(pos));
    return out;
}

std::vector<TKeptValue> ParseKeptValues(std::string_view section) {
    std::vector<TKeptValue> kept;
    for (std::size_t from = 0; from < section.size();) {
        const std::size_t end = std::min(section.find('\0', from), section.size());
        const std::string_view line = section.substr(from, end - from);
        from = end + 1;
        const auto equal = line.find('=');
        const std::string_view name = Trimmed(line.substr(0, equal));
        if (name.empty() || name.front() == ';')
            continue;
        std::string_view value =
            equal == std::string_view::npos ? "" : Trimmed(line.substr(equal + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        kept.push_back({std::string(name), std::string(value)});
    }
    return kept;
}

const std::string* FindKeptValue(const std::vector<TKeptValue>& kept, std::string_view name) {
    for (const TKeptValue& k : kept)
        if (SameBlankName(k.Name, name))
            return &k.Value;
    return nullptr;
}

void SetKeptValue(std::vector<TKeptValue>& kept, std::string_view name, std::string_view value) {
    auto first = std::find_if(kept.begin(), kept.end(),
                              [&](const TKeptValue& k) { return SameBlankName(k.Name, name); });
    if (first == kept.end()) {
        kept.push_back({std::string(name), std::string(value)});
        return;
    }
    first->Value = value;
    kept.erase(std::remove_if(first + 1, kept.end(),
                              [&](const TKeptValue& k) { return SameBlankName(k.Name, name); }),
               kept.end());
}

std::string KeptValuesSection(const std::vector<TKeptValue>& kept) {
    std::string section;
    for (const TKeptValue& k : kept)
        section.append(k.Name).append("=\"").append(k.Value).append("\"").push_back('\0');
    section.push_back('\0');
    return section;
}
