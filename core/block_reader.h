// Reads the blocks of a search's one or two files ahead, on a thread of its
// own, so that reading the next block and scanning this one overlap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <thread>

#include "search_file.h"
#include "slot_handoff.h"

namespace quarnel {

class BlockReader {
public:
    // One block of the files, from offset `base`. `gotA`/`gotB` below `want`
    // mean the file ended early or a read failed: such a block is the last.
    struct Block {
        std::uint64_t base = 0;
        std::size_t want = 0;
        std::size_t gotA = 0;
        std::size_t gotB = 0;
        const std::uint8_t* a = nullptr;
        const std::uint8_t* b = nullptr;  // null in a one-file search
    };

    // Reads `a` (and `b`, if given) from 0 to `length`. With `skipHoles`,
    // ranges where both files have a hole are passed over unread.
    BlockReader(SearchFile& a, SearchFile* b, std::uint64_t length, bool skipHoles);
    ~BlockReader();
    BlockReader(const BlockReader&) = delete;
    BlockReader& operator=(const BlockReader&) = delete;

    // Waits for the next block in offset order; false when none is left.
    // The block's bytes stay valid until Release().
    [[nodiscard]] bool Next(Block& block);
    void Release();

    static constexpr std::size_t kBlockSize = std::size_t{1024} << 10;

    struct Slot;
    struct Slots;

private:
    static constexpr std::uint32_t kSlots = 3;

    void ReadAhead();

    SearchFile& m_a;
    SearchFile* m_b;
    std::uint64_t m_length;
    bool m_skipHoles;
    std::unique_ptr<Slots> m_slots;
    SlotHandoff m_handoff{kSlots};
    std::thread m_thread;
};

}  // namespace quarnel
