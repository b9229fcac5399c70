#pragma once
// The archive format's escape values, shared by its reader and its writer: a
// count or a length at its field's top value means a wider field follows.
#include <cstdint>

namespace ArchiveEscapes {
inline constexpr std::uint16_t kCount = 0xFFFF;
inline constexpr std::uint8_t kLength8 = 0xFF;
inline constexpr std::uint16_t kLength16 = 0xFFFF;
}
