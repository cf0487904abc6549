// Match-line formatting. Saving a report of hundreds of millions of lines is
// dominated by this, so numbers are written by hand instead of by snprintf.
#include "line_format.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quarnel {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

std::size_t WriteDecimal(char* out, std::uint64_t value)
{
    char digits[20];
    std::size_t count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0);
    for (std::size_t i = 0; i < count; ++i) out[i] = digits[count - 1 - i];
    return count;
}

std::size_t WriteHex(char* out, std::uint64_t value, std::size_t minDigits)
{
    char digits[16];
    std::size_t count = 0;
    do {
        digits[count++] = kHexDigits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    while (count < minDigits) digits[count++] = '0';
    for (std::size_t i = 0; i < count; ++i) out[i] = digits[count - 1 - i];
    return count;
}

// Writes "%5lu(0x%04lx)" and where its digit runs lie.
struct ColumnLayout {
    std::size_t size, decimalBegin, decimalEnd, hexBegin, hexEnd;
};

ColumnLayout WriteColumn(char* out, std::uint64_t value)
{
    char decimal[20];
    const std::size_t decimalDigits = WriteDecimal(decimal, value);
    std::size_t pos = 0;
    for (std::size_t pad = decimalDigits; pad < 5; ++pad) out[pos++] = ' ';
    ColumnLayout layout{};
    layout.decimalBegin = pos;
    std::memcpy(out + pos, decimal, decimalDigits);
    pos += decimalDigits;
    layout.decimalEnd = pos;
    std::memcpy(out + pos, "(0x", 3);
    pos += 3;
    layout.hexBegin = pos;
    pos += WriteHex(out + pos, value, 4);
    layout.hexEnd = pos;
    out[pos++] = ')';
    layout.size = pos;
    return layout;
}

using ByteColumns = std::array<std::array<char, 13>, 256>;

ByteColumns MakeByteColumns()
{
    ByteColumns columns{};
    for (std::size_t value = 0; value < 256; ++value) {
        char text[32];
        WriteColumn(text, value);
        std::memcpy(columns[value].data(), text, 13);
    }
    return columns;
}

const ByteColumns kByteColumns = MakeByteColumns();

std::size_t WriteValues(char* out, MatchLayout layout, std::uint8_t a, std::uint8_t b)
{
    out[0] = '|';
    std::memcpy(out + 1, kByteColumns[a].data(), 13);
    if (layout == MatchLayout::OneColumn) return 14;
    out[14] = ' ';
    std::memcpy(out + 15, kByteColumns[b].data(), 13);
    return 28;
}

}  // namespace

std::size_t WriteNumberColumn(char* out, std::uint64_t value)
{
    return WriteColumn(out, value).size;
}

std::size_t AppendNumberColumn(std::string& out, std::uint64_t value)
{
    char text[40];
    const std::size_t size = WriteNumberColumn(text, value);
    out.append(text, size);
    return size;
}

const char* ByteColumn(std::uint8_t value)
{
    return kByteColumns[value].data();
}

std::size_t WriteMatchLine(char* out, MatchLayout layout, std::uint64_t offset,
                           std::uint8_t a, std::uint8_t b)
{
    const std::size_t size = WriteNumberColumn(out, offset);
    return size + WriteValues(out + size, layout, a, b);
}

void MatchLineWriter::Rebuild(std::uint64_t offset)
{
    const ColumnLayout layout = WriteColumn(m_text, offset);
    m_size = layout.size;
    m_decimalBegin = layout.decimalBegin;
    m_decimalEnd = layout.decimalEnd;
    m_hexBegin = layout.hexBegin;
    m_hexEnd = layout.hexEnd;
    m_offset = offset;
    m_valid = true;
}

// Adds one to both digit runs in place. False when a carry would run out of
// a run, which widens the text: the caller then rebuilds it.
bool MatchLineWriter::Increment()
{
    std::size_t i = m_decimalEnd;
    while (i > m_decimalBegin && m_text[i - 1] == '9') --i;
    if (i == m_decimalBegin) return false;
    std::size_t h = m_hexEnd;
    while (h > m_hexBegin && m_text[h - 1] == 'f') --h;
    if (h == m_hexBegin) return false;

    ++m_text[i - 1];
    for (std::size_t k = i; k < m_decimalEnd; ++k) m_text[k] = '0';
    char& hexDigit = m_text[h - 1];
    hexDigit = hexDigit == '9' ? 'a' : static_cast<char>(hexDigit + 1);
    for (std::size_t k = h; k < m_hexEnd; ++k) m_text[k] = '0';
    ++m_offset;
    return true;
}

MatchLineWriter::MatchLineWriter(MatchLayout layout, std::string_view lineEnd)
    : m_layout(layout), m_endSize(std::min(lineEnd.size(), sizeof m_end))
{
    std::memcpy(m_end, lineEnd.data(), m_endSize);
}

std::size_t MatchLineWriter::Write(char* out, std::uint64_t offset, std::uint8_t a, std::uint8_t b)
{
    if (!m_valid || offset != m_offset + 1 || !Increment()) Rebuild(offset);
    // Copies of a fixed size compile to a few moves; the caller's buffer has
    // room for what they write past the line.
    std::memcpy(out, m_text, sizeof m_text);
    const std::size_t size = m_size + WriteValues(out + m_size, m_layout, a, b);
    std::memcpy(out + size, m_end, sizeof m_end);
    return size + m_endSize;
}

}  // namespace quarnel
