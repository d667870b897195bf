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

private:
    // Offsets into m_pool rather than views: they survive moves and copies.
    struct TSection {
        std::size_t namePos;
        std::size_t nameLen;
        std::size_t firstEntry; // its entries run up to the next section's first
    };
    struct TEntry {
        std::size_t keyPos;
        std::size_t keyLen;
        std::size_t valueLen; // the value follows the key in m_pool
    };

    std::string_view View(std::size_t pos, std::size_t len) const;
    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;
    std::optional<std::size_t> FindSection(const std::string& foldedName) const;

    // Section names and keys are stored case-folded, values as they stand.
    std::string m_pool;
    // Every section header and every entry, in file order. A lookup takes
    // the last section of a name and, in it, the last entry of a key: one
    // pass to read, and a handful of lookups each at most one pass more.
    std::vector<TSection> m_sections;
    std::vector<TEntry> m_entries;
};

// A whole number as the version file writes it: optional sign, then decimal
// digits, or hexadecimal digits after "0x", "0X" or "$". Hexadecimal text is a
// 32-bit pattern (0xFFFFFFFF is -1) which a minus sign negates; decimal text
// must lie in the signed 32-bit range. Nothing else is accepted, not even blanks.
std::optional<std::int32_t> ParseVersionInteger(std::string_view text);
