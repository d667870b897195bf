#include "core/Figures.h"

std::uint64_t RoundedKibibytes(std::uint64_t bytes) {
    // In integers: bytes / 1024.0 would lose the last units beyond 2^53.
    return bytes / 1024 + (bytes % 1024 >= 512 ? 1 : 0);
}

std::string MemoryLoadText(std::uint32_t load) {
    return std::to_string(load) + " %";
}
