#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A key the program reads from the version file: its section and its name.
struct TVersionKey {
    std::string_view section;
    std::string_view key;
};

// Reader of the section-and-key text file that the publisher's server serves
// to announce a release. The file comes from the network: any bytes at all
// must parse in one pass into something harmless, and a file of any size or
// shape costs no more memory than the values of the keys the program reads.
class TVersionFile {
public:
    // Keeps the values of keys, and only those: any other key reads as absent.
    static TVersionFile Parse(std::string_view bytes, std::span<const TVersionKey> keys);
    static TVersionFile Parse(std::string_view bytes, std::initializer_list<TVersionKey> keys) {
        return Parse(bytes, std::span<const TVersionKey>(keys.begin(), keys.size()));
    }

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view def) const;
    std::int32_t ReadInteger(std::string_view section, std::string_view key,
                             std::int32_t def) const;

private:
    struct TWanted {
        std::string section; // case-folded
        std::string key;     // case-folded
        std::optional<std::string> value;
    };
    std::optional<std::string_view> Find(std::string_view section, std::string_view key) const;

    std::vector<TWanted> m_wanted;
};

// A whole number as the version file writes it: optional sign, then decimal
// digits, or hexadecimal digits after "0x", "0X" or "$". Hexadecimal text is a
// 32-bit pattern (0xFFFFFFFF is -1) which a minus sign negates; decimal text
// must lie in the signed 32-bit range. Nothing else is accepted, not even blanks.
std::optional<std::int32_t> ParseVersionInteger(std::string_view text);
