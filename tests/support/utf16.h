#pragma once

#include <string>
#include <string_view>

namespace spinalyst::testing {

// The bytes of a UTF-16 text after its byte-order mark, little or big endian, as an editor saves
// such a file.
inline std::string utf16(std::u16string_view text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t u : text) {
        const auto low = static_cast<char>(u & 0xFF);
        const auto high = static_cast<char>(u >> 8);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return out;
}

}  // namespace spinalyst::testing
