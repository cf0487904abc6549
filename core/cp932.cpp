// CP932 <-> UTF-8 through glibc's iconv, which knows CP932 (IBM and NEC
// extensions, 0x5C as the backslash) unlike its SHIFT_JIS table.
#include "cp932.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace quarnel {
namespace {

// Length of the sequence that starts with `lead` in `from`, for skipping one
// character that cannot be converted.
std::size_t Utf8SequenceLength(unsigned char lead)
{
    if (lead < 0x80) return 1;
    if (lead >= 0xF0 && lead < 0xF8) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

std::size_t Cp932SequenceLength(unsigned char lead)
{
    const bool doubleByte = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    return doubleByte ? 2 : 1;
}

// Converts `text`, replacing what cannot be converted with "?". Skips an
// unconvertible character by its length in the source encoding.
std::string Convert(const char* to, const char* from, std::string_view text,
                    std::size_t (*sequenceLength)(unsigned char))
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        throw std::runtime_error("iconv cannot convert between CP932 and UTF-8");
    }
    std::string out;
    out.reserve(text.size() * 3 / 2 + 4);
    char buffer[4096];
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        const std::size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        if (rc != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        // EILSEQ or EINVAL (a sequence cut short at the end): one "?" for it.
        const std::size_t skip =
            std::min(inLeft, sequenceLength(static_cast<unsigned char>(*in)));
        in += skip;
        inLeft -= skip;
        out.push_back('?');
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(cd);
    return out;
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8)
{
    return Convert("CP932", "UTF-8", utf8, Utf8SequenceLength);
}

std::string Cp932ToUtf8(std::string_view cp932)
{
    return Convert("UTF-8", "CP932", cp932, Cp932SequenceLength);
}

}  // namespace quarnel
