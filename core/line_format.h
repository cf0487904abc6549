// The text of match lines: numbers as "%5lu(0x%04lx)" (at least five decimal
// digits' width, at least four hexadecimal digits), and whole lines in the
// one- and two-column layouts, written without printf.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "report.h"

namespace quarnel {

// Appends `value` as "%5lu(0x%04lx)" to `out`: 65 gives "   65(0x0041)",
// 70000 gives "70000(0x11170)". Returns the number of characters appended.
std::size_t AppendNumberColumn(std::string& out, std::uint64_t value);
// The same into `out`, which must have room for 32 characters.
std::size_t WriteNumberColumn(char* out, std::uint64_t value);

// The 13 characters of a byte value's column: "%5lu(0x%04x)" of 0..255.
[[nodiscard]] const char* ByteColumn(std::uint8_t value);

// Writes one match line (no line end) into `out`, which must have room for
// kMaxMatchLine characters; returns its length. The longest line is 68
// characters; the rest is room for the fixed-size copies below.
inline constexpr std::size_t kMaxMatchLine = 96;
std::size_t WriteMatchLine(char* out, MatchLayout layout, std::uint64_t offset,
                           std::uint8_t a, std::uint8_t b);

// Formats the match lines of one run in order, keeping the offset's text and
// advancing it digit by digit, so a dense run costs a few copies per line.
class MatchLineWriter {
public:
    // `lineEnd` (at most 16 bytes) follows every line.
    MatchLineWriter(MatchLayout layout, std::string_view lineEnd);
    // Writes the line for `offset` (greater than the previous one) and the
    // line end into `out`, which must have room for kMaxMatchLine + 16 bytes;
    // returns the bytes written. Bytes past them may be overwritten.
    std::size_t Write(char* out, std::uint64_t offset, std::uint8_t a, std::uint8_t b);

private:
    void Rebuild(std::uint64_t offset);
    bool Increment();

    MatchLayout m_layout;
    char m_end[16] = {};
    std::size_t m_endSize = 0;
    bool m_valid = false;
    std::uint64_t m_offset = 0;
    char m_text[48] = {};   // the offset column, e.g. "   16(0x0010)"
    std::size_t m_size = 0;
    std::size_t m_decimalBegin = 0, m_decimalEnd = 0;  // digits only, no padding
    std::size_t m_hexBegin = 0, m_hexEnd = 0;
};

}  // namespace quarnel
