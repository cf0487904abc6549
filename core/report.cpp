// The report's storage. Text lines are kept as strings. Match lines are kept
// as records in large chunks: the offset as a delta from the previous line's
// (LEB128, one byte when matches are dense) and only the bytes the run does
// not fix. Every kBlockLines records an index entry holds the block's first
// offset and position, so reading line i decodes at most one block.
#include "report.h"

#include <algorithm>
#include <optional>
#include <cstring>
#include <stdexcept>

#include "line_format.h"

namespace quarnel {
namespace {

constexpr std::uint32_t kBlockLines = 256;
constexpr std::size_t kMaxRecordBytes = 10 + 2;  // a 64-bit delta and two bytes
constexpr std::size_t kChunkBytes = std::size_t{1} << 20;
constexpr std::size_t kSliceBytes = std::size_t{4} << 20;
constexpr std::size_t kSpareChunks = 32;

struct Block {
    std::uint32_t chunk;
    std::uint32_t position;
    std::uint64_t firstOffset;
};

struct Run {
    MatchLayout layout;
    int fixedA;
    int fixedB;
    int bFromA;
    bool storeA;
    bool storeB;
    std::vector<Block> blocks;
    std::uint64_t lastOffset = 0;
};

struct Segment {
    std::uint64_t firstLine;
    bool isRun;
    std::size_t index;  // first text line, or the run
};

std::uint64_t ReadDelta(const std::uint8_t*& in)
{
    std::uint64_t value = 0;
    for (unsigned shift = 0;; shift += 7) {
        const std::uint8_t byte = *in++;
        value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) return value;
    }
}

// Decodes the records of a run in order.
class RunReader {
public:
    RunReader(const Run& run, const std::vector<std::unique_ptr<std::uint8_t[]>>& chunks,
              std::size_t block)
        : m_run(run), m_chunks(chunks)
    {
        Seek(block);
    }

    void Seek(std::size_t block)
    {
        const Block& entry = m_run.blocks[block];
        m_in = m_chunks[entry.chunk].get() + entry.position;
        m_offset = entry.firstOffset;
        m_left = kBlockLines;
        m_block = block;
    }

    void Next(std::uint64_t& offset, std::uint8_t& a, std::uint8_t& b)
    {
        if (m_left == 0) Seek(m_block + 1);
        m_offset += ReadDelta(m_in);
        a = m_run.storeA ? *m_in++ : static_cast<std::uint8_t>(m_run.fixedA);
        if (m_run.storeB) {
            b = *m_in++;
        } else if (m_run.bFromA >= 0) {
            b = static_cast<std::uint8_t>(a + m_run.bFromA);
        } else {
            b = static_cast<std::uint8_t>(m_run.fixedB);
        }
        offset = m_offset;
        --m_left;
    }

private:
    const Run& m_run;
    const std::vector<std::unique_ptr<std::uint8_t[]>>& m_chunks;
    const std::uint8_t* m_in = nullptr;
    std::uint64_t m_offset = 0;
    std::uint32_t m_left = 0;
    std::size_t m_block = 0;
};

}  // namespace

struct Report::Store {
    std::vector<std::string> texts;
    std::size_t longestText = 0;
    std::vector<Run> runs;
    std::vector<Segment> segments;
    std::vector<std::unique_ptr<std::uint8_t[]>> chunks;
    std::size_t chunkUsed = kChunkBytes;  // no chunk yet

    std::uint64_t SegmentEnd(std::size_t segment, std::uint64_t lineCount) const
    {
        return segment + 1 < segments.size() ? segments[segment + 1].firstLine : lineCount;
    }
};

Report::Report() : m_store(std::make_unique<Store>()) {}
Report::~Report() = default;

void Report::AppendLine(std::string_view cp932)
{
    CloseMatchRun();
    Store& store = *m_store;
    if (store.segments.empty() || store.segments.back().isRun) {
        store.segments.push_back({m_lineCount, false, store.texts.size()});
    }
    store.texts.emplace_back(cp932);
    store.longestText = std::max(store.longestText, cp932.size());
    ++m_lineCount;
    if (m_listener) m_listener();
}

void Report::BeginMatchRun(MatchLayout layout, int fixedA, int fixedB, int bFromA)
{
    CloseMatchRun();
    Run run{};
    run.layout = layout;
    run.fixedA = fixedA;
    run.fixedB = layout == MatchLayout::TwoColumns ? fixedB : fixedA;
    run.bFromA = layout == MatchLayout::TwoColumns ? bFromA : -1;
    run.storeA = fixedA < 0;
    run.storeB = layout == MatchLayout::TwoColumns && fixedB < 0 && bFromA < 0;
    m_store->segments.push_back({m_lineCount, true, m_store->runs.size()});
    m_store->runs.push_back(std::move(run));
    m_storeA = m_store->runs.back().storeA;
    m_storeB = m_store->runs.back().storeB;
    m_runOpen = true;
    m_blockLeft = 0;
}

void Report::CloseMatchRun()
{
    if (!m_runOpen) return;
    m_store->runs.back().lastOffset = m_lastOffset;
    m_runOpen = false;
    m_blockLeft = 0;
}

void Report::StartBlock(std::uint64_t offset)
{
    if (!m_runOpen) throw std::logic_error("a match line needs an open match run");
    Store& store = *m_store;
    store.chunkUsed = m_cursor ? static_cast<std::size_t>(m_cursor - store.chunks.back().get())
                               : store.chunkUsed;
    // A block's records never straddle two chunks.
    if (kChunkBytes - store.chunkUsed < kBlockLines * kMaxRecordBytes) {
        if (m_spareChunks.empty()) {
            store.chunks.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(kChunkBytes));
        } else {
            store.chunks.push_back(std::move(m_spareChunks.back()));
            m_spareChunks.pop_back();
        }
        store.chunkUsed = 0;
    }
    Run& run = store.runs.back();
    run.blocks.push_back({static_cast<std::uint32_t>(store.chunks.size() - 1),
                          static_cast<std::uint32_t>(store.chunkUsed), offset});
    m_cursor = store.chunks.back().get() + store.chunkUsed;
    m_lastOffset = offset;
    m_blockLeft = kBlockLines;
}

void Report::Clear()
{
    // Keep some chunks for the next search: memory the process already has
    // costs nothing to fill, fresh memory a page fault per page.
    for (auto& chunk : m_store->chunks) {
        if (m_spareChunks.size() >= kSpareChunks) break;
        m_spareChunks.push_back(std::move(chunk));
    }
    m_store = std::make_unique<Store>();
    m_lineCount = 0;
    m_cursor = nullptr;
    m_lastOffset = 0;
    m_blockLeft = 0;
    m_runOpen = false;
    if (m_listener) m_listener();
}

std::uint64_t Report::LineCount() const
{
    return m_lineCount;
}

std::string Report::Line(std::uint64_t index) const
{
    if (index >= m_lineCount) throw std::out_of_range("report line index");
    const Store& store = *m_store;
    const auto after = std::upper_bound(
        store.segments.begin(), store.segments.end(), index,
        [](std::uint64_t line, const Segment& segment) { return line < segment.firstLine; });
    const Segment& segment = *(after - 1);
    const std::uint64_t inSegment = index - segment.firstLine;
    if (!segment.isRun) return store.texts[segment.index + inSegment];

    const Run& run = store.runs[segment.index];
    RunReader reader(run, store.chunks, inSegment / kBlockLines);
    std::uint64_t offset = 0;
    std::uint8_t a = 0, b = 0;
    for (std::uint64_t skip = inSegment % kBlockLines; skip-- > 0;) reader.Next(offset, a, b);
    reader.Next(offset, a, b);
    char text[kMaxMatchLine];
    return std::string(text, WriteMatchLine(text, run.layout, offset, a, b));
}

std::size_t Report::LongestLine() const
{
    const Store& store = *m_store;
    std::size_t longest = store.longestText;
    char text[kMaxMatchLine];
    for (std::size_t i = 0; i < store.runs.size(); ++i) {
        const Run& run = store.runs[i];
        if (run.blocks.empty()) continue;
        // Lines only widen as offsets grow, so the last one is the widest.
        const bool open = m_runOpen && i + 1 == store.runs.size();
        const std::uint64_t last = open ? m_lastOffset : run.lastOffset;
        longest = std::max(longest, WriteMatchLine(text, run.layout, last, 0, 0));
    }
    return longest;
}

struct Report::TextReader::State {
    const Report& report;
    std::string lineEnd;
    std::size_t segment = 0;
    std::uint64_t line = 0;      // within the segment
    std::size_t textOffset = 0;  // within a text line that did not fit
    std::optional<RunReader> runReader;
    std::optional<MatchLineWriter> lineWriter;
};

Report::TextReader::TextReader(const Report& report, std::string_view lineEnd)
    : m_state(new State{report, std::string(lineEnd), 0, 0, 0, std::nullopt, std::nullopt})
{
}

Report::TextReader::~TextReader() = default;

std::size_t Report::TextReader::Read(char* buffer, std::size_t capacity)
{
    State& state = *m_state;
    const Store& store = *state.report.m_store;
    const std::string_view lineEnd = state.lineEnd;
    if (capacity < kMinTextBuffer || lineEnd.size() > 16) throw std::invalid_argument("text buffer too small");
    std::size_t used = 0;
    while (state.segment < store.segments.size()) {
        const Segment& segment = store.segments[state.segment];
        const std::uint64_t count = store.SegmentEnd(state.segment, state.report.m_lineCount) - segment.firstLine;
        if (!segment.isRun) {
            for (; state.line < count; ++state.line) {
                const std::string& text = store.texts[segment.index + state.line];
                // The line and its line end, from where the last call stopped.
                std::size_t pieceStart = 0;
                for (const std::string_view piece : {std::string_view(text), lineEnd}) {
                    const std::size_t pieceEnd = pieceStart + piece.size();
                    if (state.textOffset < pieceEnd) {
                        const std::size_t from = state.textOffset - pieceStart;
                        const std::size_t take = std::min(piece.size() - from, capacity - used);
                        std::memcpy(buffer + used, piece.data() + from, take);
                        used += take;
                        state.textOffset += take;
                        if (state.textOffset < pieceEnd) return used;  // the buffer is full
                    }
                    pieceStart = pieceEnd;
                }
                state.textOffset = 0;
            }
        } else {
            const Run& run = store.runs[segment.index];
            if (!state.runReader && count > 0) {
                state.runReader.emplace(run, store.chunks, 0);
                state.lineWriter.emplace(run.layout, lineEnd);
            }
            const std::size_t limit = capacity - kMaxMatchLine - 16;
            std::uint64_t offset = 0;
            std::uint8_t a = 0, b = 0;
            for (; state.line < count && used <= limit; ++state.line) {
                state.runReader->Next(offset, a, b);
                used += state.lineWriter->Write(buffer + used, offset, a, b);
            }
            if (state.line < count) return used;
            state.runReader.reset();
            state.lineWriter.reset();
        }
        ++state.segment;
        state.line = 0;
    }
    return used;
}

namespace {

// The width of the offset column "%5lu(0x%04lx)" for `offset`.
std::size_t OffsetColumnWidth(std::uint64_t offset)
{
    std::size_t decimal = 1, hex = 1;
    for (std::uint64_t rest = offset; rest >= 10; rest /= 10) ++decimal;
    for (std::uint64_t rest = offset; rest >= 16; rest /= 16) ++hex;
    return std::max<std::size_t>(decimal, 5) + 3 + std::max<std::size_t>(hex, 4) + 1;
}

}  // namespace

std::uint64_t Report::TextSize(std::string_view lineEnd) const
{
    const Store& store = *m_store;
    std::uint64_t size = 0;
    for (const std::string& text : store.texts) size += text.size() + lineEnd.size();
    for (std::size_t s = 0; s < store.segments.size(); ++s) {
        const Segment& segment = store.segments[s];
        if (!segment.isRun) continue;
        const Run& run = store.runs[segment.index];
        const std::uint64_t count = store.SegmentEnd(s, m_lineCount) - segment.firstLine;
        const std::size_t tail = (run.layout == MatchLayout::OneColumn ? 14 : 28) + lineEnd.size();
        const bool open = m_runOpen && segment.index + 1 == store.runs.size();
        for (std::size_t k = 0; k < run.blocks.size(); ++k) {
            const std::uint64_t lines = std::min<std::uint64_t>(kBlockLines, count - k * kBlockLines);
            // Offsets grow, so a block whose first offset and an upper bound
            // of its last have the same width has that width throughout.
            const std::uint64_t last = k + 1 < run.blocks.size() ? run.blocks[k + 1].firstOffset - 1
                                       : open                   ? m_lastOffset
                                                                : run.lastOffset;
            const std::size_t width = OffsetColumnWidth(run.blocks[k].firstOffset);
            if (width == OffsetColumnWidth(last)) {
                size += lines * (width + tail);
                continue;
            }
            RunReader reader(run, store.chunks, k);
            std::uint64_t offset = 0;
            std::uint8_t a = 0, b = 0;
            for (std::uint64_t i = 0; i < lines; ++i) {
                reader.Next(offset, a, b);
                size += OffsetColumnWidth(offset) + tail;
            }
        }
    }
    return size;
}

bool Report::ForEachText(std::string_view lineEnd,
                         const std::function<bool(std::string_view)>& visit) const
{
    TextReader reader(*this, lineEnd);
    std::vector<char> buffer(kSliceBytes);
    for (std::size_t size; (size = reader.Read(buffer.data(), buffer.size())) != 0;) {
        if (!visit(std::string_view(buffer.data(), size))) return false;
    }
    return true;
}

void Report::SetChangeListener(std::function<void()> listener)
{
    m_listener = std::move(listener);
}

void Report::NotifyChanged() const
{
    if (m_listener) m_listener();
}

std::uint64_t Report::MatchStorageBytes() const
{
    std::uint64_t bytes = m_store->chunks.size() * std::uint64_t{kChunkBytes};
    for (const Run& run : m_store->runs) bytes += run.blocks.capacity() * sizeof(Block);
    return bytes;
}

}  // namespace quarnel
