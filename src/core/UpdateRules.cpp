#include "core/UpdateRules.h"

#include "core/Ascii.h"
#include "core/VersionFile.h"

#include <algorithm>
#include <charconv>

bool IsNewerRelease(std::int32_t dispo) {
    return dispo > kOwnVersionCode;
}

std::string PartialDownloadName(std::string_view file, std::uint32_t pid, std::uint32_t n) {
    std::string name(file);
    name += '.';
    name += std::to_string(pid);
    name += '-';
    name += std::to_string(n);
    name += ".part";
    return name;
}

namespace {

// Windows compares file names without regard to case.
bool SameName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

// A whole number of at most 32 bits, digits only.
std::optional<std::uint32_t> Number(std::string_view digits) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || digits[0] < '0' || digits[0] > '9' ||
        end != digits.data() + digits.size() || error != std::errc())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<std::uint32_t> PartialDownloadOwner(std::string_view name, std::string_view file) {
    constexpr std::string_view kPart = ".part";
    if (name.size() <= file.size() + 1 + kPart.size() ||
        !SameName(name.substr(0, file.size()), file) || name[file.size()] != '.' ||
        !SameName(name.substr(name.size() - kPart.size()), kPart))
        return std::nullopt;
    const std::string_view middle =
        name.substr(file.size() + 1, name.size() - file.size() - 1 - kPart.size());
    const std::size_t dash = middle.find('-');
    if (dash == std::string_view::npos || !Number(middle.substr(dash + 1)))
        return std::nullopt;
    return Number(middle.substr(0, dash));
}

int VersionCodeDigitCount(std::int32_t code) {
    char text[16];
    const auto result = std::to_chars(text, text + sizeof text, code);
    return static_cast<int>(std::min<std::ptrdiff_t>(result.ptr - text, 10));
}

bool VersionCodeIsValid(std::int32_t code) {
    // The character count alone would let "-123456" pass.
    return code > 0 && VersionCodeDigitCount(code) == 7;
}

std::string UpdateAddress(std::string_view host, std::string_view path) {
    std::string address = "https://";
    address.append(host);
    address.append(path);
    return address;
}

std::string_view HostName(std::string_view host) {
    return host.substr(0, host.find(':'));
}

std::string_view SiteName(std::string_view host) {
    std::string_view name = HostName(host);
    constexpr std::string_view kWww = "www.";
    if (name.size() > kWww.size() && name.substr(0, kWww.size()) == kWww)
        name.remove_prefix(kWww.size());
    return name;
}

std::span<const TVersionKey> UpdateFileKeys() {
    static constexpr TVersionKey kKeys[] = {
        {"version", "dispo"}, {"info", "line1"}, {"info", "line2"},
        {"info", "line3"},    {"info", "line4"}, {"info", "line5"},
        {"info", "line6"},    {"info", "line7"}, {"info", "line8"},
    };
    return kKeys;
}

std::int32_t PublishedVersionCode(const TVersionFile& file) {
    return file.ReadInteger("version", "dispo", 0);
}

std::string NewVersionLabel(const TVersionFile& file) {
    return file.ReadString("info", "line1", "");
}

std::vector<std::string> ReleaseNotesLines(const TVersionFile& file, std::string_view authorLine,
                                           std::string_view siteLine) {
    // Windows-1252 bytes: core sources stay ASCII.
    static constexpr const char* kNoticeLines[] = {
        "La proc\xE9"
        "dure d'installation reste inchang\xE9"
        "e :",
        "c'est-\xE0-dire, de manuellement installer cette mise \xE0 jour.",
    };
    static constexpr const char* kGreeting = "L'auteur vous souhaite un agr\xE9"
                                             "able usage d'Orbitashell,";
    static constexpr const char* kNoteKeys[] = {"line2", "line3", "line4", "line5",
                                                "line6", "line7", "line8"};

    std::vector<std::string> lines;
    lines.reserve(14);
    for (const char* key : kNoteKeys)
        lines.push_back(file.ReadString("info", key, ""));
    lines.emplace_back();
    lines.emplace_back(kNoticeLines[0]);
    lines.emplace_back(kNoticeLines[1]);
    lines.emplace_back();
    lines.emplace_back(kGreeting);
    lines.emplace_back(authorLine);
    lines.emplace_back(siteLine);
    return lines;
}
