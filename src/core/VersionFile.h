#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Reader of the section-and-key text file that the publisher's server serves
// to announce a release. The file comes from the network: any bytes at all
// must parse in linear time into something harmless.
class TVersionFile {
public:
    static TVersionFile Parse(std::string_view bytes);

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t def) const;
    bool SectionExists(std::string_view section) const;

private:
    // Offsets into m_pool rather than views: they survive moves and copies.
    struct TSection {
        std::size_t namePos;
        std::size_t nameLen;
    };
    struct TEntry {
        std::size_t section;
        std::size_t keyPos;
        std::size_t keyLen;
        std::size_t valueLen; // the value follows the key in m_pool
    };

    std::string_view View(std::size_t pos, std::size_t len) const;
    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;
    std::optional<std::size_t> FindSection(const std::string& foldedName) const;

    // Section names and keys are stored case-folded, values as they stand.
    std::string m_pool;
    // The surviving occurrence of each section, sorted by name.
    std::vector<TSection> m_sections;
    // The surviving entry of each key, sorted by (section index, key).
    std::vector<TEntry> m_entries;
};

// A whole number as the version file writes it: optional sign, then decimal
// digits, or hexadecimal digits after "0x", "0X" or "$". Hexadecimal text is a
// 32-bit pattern (0xFFFFFFFF is -1) which a minus sign negates; decimal text
// must lie in the signed 32-bit range. Nothing else is accepted, not even blanks.
std::optional<std::int32_t> ParseVersionInteger(std::string_view text);
