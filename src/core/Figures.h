// The About box's figures, as numbers and texts free of any locale.
#pragma once
#include <cstdint>
#include <string>

// Bytes to kibibytes, rounded to the nearest (a half rounds up).
std::uint64_t RoundedKibibytes(std::uint64_t bytes);
// The memory load as a percentage: the number, a space and "%".
std::string MemoryLoadText(std::uint32_t load);
