// The report: the ordered list of CP932 (Shift_JIS) text lines that a search
// writes and the results window shows, counts, reads and saves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quarnel {

// How the two bytes of a match line are kept and shown.
enum class MatchLayout : std::uint8_t {
    OneColumn,  // offset | value
    TwoColumns  // offset | value of file A  value of file B
};

// Holds every line exactly as the search appended it. Heading lines are kept
// as text; match lines, which can number in the billions, are kept as compact
// records (offset deltas and the bytes that vary) and formatted when read, so
// a line reads back the same as if its text had been stored.
//
// Not thread-safe: the search, the window and the save all run on one thread.
class Report {
public:
    Report();
    ~Report();
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    // Appends one text line; `cp932` carries no line end.
    void AppendLine(std::string_view cp932);

    // Starts a run of match lines. Bytes that the run fixes are given here and
    // not stored per line: `fixedA`/`fixedB` are -1 where the line's own byte
    // is stored, or the byte every line of the run shows. `bFromA` (0..255 or
    // -1) derives b as a + bFromA, so match and change searches store one byte.
    void BeginMatchRun(MatchLayout layout, int fixedA, int fixedB, int bFromA);
    // Appends one match line of the current run. Offsets must increase.
    // Inline: a dense search calls this for nearly every byte it reads.
    void AppendMatch(std::uint64_t offset, std::uint8_t a, std::uint8_t b)
    {
        if (m_blockLeft == 0) StartBlock(offset);
        std::uint64_t delta = offset - m_lastOffset;
        m_lastOffset = offset;
        std::uint8_t* out = m_cursor;
        while (delta >= 0x80) {
            *out++ = static_cast<std::uint8_t>(delta | 0x80);
            delta >>= 7;
        }
        *out++ = static_cast<std::uint8_t>(delta);
        if (m_storeA) *out++ = a;
        if (m_storeB) *out++ = b;
        m_cursor = out;
        --m_blockLeft;
        ++m_lineCount;
    }

    // Removes every line.
    void Clear();

    [[nodiscard]] std::uint64_t LineCount() const;
    // The text of line `index` (< LineCount()), without line end.
    [[nodiscard]] std::string Line(std::uint64_t index) const;
    // The byte length of the longest line appended so far (for a view's width).
    [[nodiscard]] std::size_t LongestLine() const;

    // Calls `visit` with consecutive slices of the report's text, in order, each
    // line followed by `lineEnd`. Slices are at most a few MiB and valid only
    // during the call. Returns false as soon as `visit` does.
    bool ForEachText(std::string_view lineEnd,
                     const std::function<bool(std::string_view)>& visit) const;

    // Reads the report's text in order, each line followed by a line end, a
    // buffer at a time. The report must not change while a reader is used.
    class TextReader {
    public:
        TextReader(const Report& report, std::string_view lineEnd);
        ~TextReader();
        TextReader(const TextReader&) = delete;
        TextReader& operator=(const TextReader&) = delete;
        // Fills `buffer` with the next bytes of the text and returns how many;
        // 0 at the end. `capacity` must be at least kMinTextBuffer.
        [[nodiscard]] std::size_t Read(char* buffer, std::size_t capacity);

    private:
        struct State;
        std::unique_ptr<State> m_state;
    };
    static constexpr std::size_t kMinTextBuffer = 256;

    // The size in bytes of the text a TextReader gives, without making it.
    [[nodiscard]] std::uint64_t TextSize(std::string_view lineEnd) const;

    // Called after Clear() and after every text line; match lines do not call
    // it (a view reads the count when it paints). May be empty.
    void SetChangeListener(std::function<void()> listener);
    // Tells the listener now, e.g. before a message box shows over a view.
    void NotifyChanged() const;

    // Bytes held for match records, for measuring memory per line.
    [[nodiscard]] std::uint64_t MatchStorageBytes() const;

private:
    struct Store;
    friend class TextReader;
    // Starts a block of match records (closing the previous one); throws
    // std::logic_error when no match run is open.
    void StartBlock(std::uint64_t offset);
    void CloseMatchRun();

    std::unique_ptr<Store> m_store;
    std::vector<std::unique_ptr<std::uint8_t[]>> m_spareChunks;  // kept by Clear()
    std::function<void()> m_listener;
    std::uint64_t m_lineCount = 0;
    // The open match run's write position and what each record holds.
    std::uint8_t* m_cursor = nullptr;
    std::uint64_t m_lastOffset = 0;
    std::uint32_t m_blockLeft = 0;
    bool m_runOpen = false;
    bool m_storeA = false;
    bool m_storeB = false;
};

}  // namespace quarnel
