// The read-ahead thread. A slot belongs to the reader until it is published
// and to the scanner from then until it is released.
#include "block_reader.h"

#include <algorithm>
#include <mutex>
#include <new>

namespace quarnel {

struct BlockReader::Slot {
    struct AlignedDelete {
        void operator()(std::uint8_t* p) const { ::operator delete[](p, std::align_val_t{64}); }
    };
    using Buffer = std::unique_ptr<std::uint8_t[], AlignedDelete>;
    static Buffer NewBuffer()
    {
        return Buffer(static_cast<std::uint8_t*>(::operator new[](kBlockSize, std::align_val_t{64})));
    }

    Block block;
    Buffer a, b;
};

namespace {

// The slots of the last search, kept for the next: fresh buffers cost a page
// fault per page, which shows next to a search of a few hundred MiB.
std::mutex g_spareMutex;
std::unique_ptr<BlockReader::Slot[]> g_spare;

}  // namespace

BlockReader::BlockReader(SearchFile& a, SearchFile* b, std::uint64_t length, bool skipHoles)
    : m_a(a), m_b(b), m_length(length), m_skipHoles(skipHoles)
{
    {
        const std::lock_guard lock(g_spareMutex);
        m_slots = std::move(g_spare);
    }
    if (!m_slots) m_slots.reset(new Slot[kSlots]);
    for (std::uint32_t i = 0; i < kSlots; ++i) {
        if (!m_slots[i].a) m_slots[i].a = Slot::NewBuffer();
        if (m_b && !m_slots[i].b) m_slots[i].b = Slot::NewBuffer();
    }
    m_thread = std::thread([this] { ReadAhead(); });
}

BlockReader::~BlockReader()
{
    m_handoff.Stop();
    m_thread.join();
    const std::lock_guard lock(g_spareMutex);
    g_spare = std::move(m_slots);
}

bool BlockReader::Next(Block& block)
{
    block = m_slots[m_handoff.AcquireFilled()].block;
    return block.want != 0;
}

void BlockReader::Release()
{
    m_handoff.Release();
}

void BlockReader::ReadAhead()
{
    std::uint64_t base = 0;
    std::uint64_t noHoleUntil = 0;  // no file has a hole before this offset
    for (;;) {
        const std::optional<std::uint32_t> free = m_handoff.AcquireFree();
        if (!free) return;
        if (m_skipHoles && base < m_length && base >= noHoleUntil) {
            std::uint64_t dataFrom = m_a.DataFrom(base);
            if (m_b) dataFrom = std::min(dataFrom, m_b->DataFrom(base));
            base = std::max(base, std::min(dataFrom, m_length));
            noHoleUntil = m_a.HoleFrom(base);
            if (m_b) noHoleUntil = std::min(noHoleUntil, m_b->HoleFrom(base));
        }
        Slot& slot = m_slots[*free];
        Block& block = slot.block;
        block = Block{};
        block.base = base;
        block.want = static_cast<std::size_t>(std::min<std::uint64_t>(m_length - base, kBlockSize));
        if (block.want == 0) {  // the end
            m_handoff.Publish();
            return;
        }
        block.a = slot.a.get();
        block.b = slot.b.get();
        block.gotA = m_a.ReadAt(base, slot.a.get(), block.want);
        block.gotB = m_b ? m_b->ReadAt(base, slot.b.get(), block.want) : block.want;
        m_handoff.Publish();
        if (block.gotA < block.want || block.gotB < block.want) return;  // the last block
        base += block.want;
    }
}

}  // namespace quarnel
