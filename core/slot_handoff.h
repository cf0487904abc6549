// Hands a ring of slots from one producer thread to one consumer thread:
// the producer fills slots in order, the consumer takes them in the same
// order, and neither waits unless the ring is full or empty.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>

namespace quarnel {

class SlotHandoff {
public:
    explicit SlotHandoff(std::uint32_t slots) : m_slots(slots) {}

    // Producer: waits for a free slot and returns its index; nothing once
    // Stop() was called.
    [[nodiscard]] std::optional<std::uint32_t> AcquireFree()
    {
        const std::uint32_t filled = m_filled.load(std::memory_order_relaxed);
        SpinWhile([&] { return filled - m_released.load(std::memory_order_acquire) >= m_slots && !m_stop.load(); });
        for (std::uint32_t released = m_released.load(std::memory_order_acquire);
             filled - released >= m_slots; released = m_released.load(std::memory_order_acquire)) {
            if (m_stop.load()) return std::nullopt;
            m_released.wait(released, std::memory_order_acquire);
        }
        if (m_stop.load()) return std::nullopt;
        return filled % m_slots;
    }
    void Publish()
    {
        m_filled.fetch_add(1, std::memory_order_release);
        m_filled.notify_one();
    }

    // Consumer: waits for the next filled slot and returns its index.
    [[nodiscard]] std::uint32_t AcquireFilled()
    {
        const std::uint32_t wanted = m_released.load(std::memory_order_relaxed);
        SpinWhile([&] { return m_filled.load(std::memory_order_acquire) == wanted; });
        for (std::uint32_t filled = m_filled.load(std::memory_order_acquire); filled == wanted;
             filled = m_filled.load(std::memory_order_acquire)) {
            m_filled.wait(filled, std::memory_order_acquire);
        }
        return wanted % m_slots;
    }
    void Release()
    {
        m_released.fetch_add(1, std::memory_order_release);
        m_released.notify_one();
    }

    // Tells a producer that waits, or will wait, for a free slot to give up.
    void Stop()
    {
        m_stop.store(true);
        m_released.fetch_add(m_slots);  // a change of value is what wakes a waiter
        m_released.notify_all();
    }

private:
    // Waits by spinning for as long as a block takes to read, before the
    // caller falls back to sleeping: waking a sleeping thread can take far
    // longer than that on a virtual machine, and would then be paid once per
    // block.
    template <class Condition>
    static void SpinWhile(Condition condition)
    {
        const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(500);
        for (unsigned i = 1; condition(); ++i) {
#if defined(__x86_64__) || defined(__i386__)
            __builtin_ia32_pause();
#endif
            if (i % 64 == 0 && std::chrono::steady_clock::now() > until) return;
        }
    }

    const std::uint32_t m_slots;
    // Counts of slots filled and released. They wrap; only their difference,
    // at most m_slots, matters.
    std::atomic<std::uint32_t> m_filled{0};
    std::atomic<std::uint32_t> m_released{0};
    std::atomic<bool> m_stop{false};
};

}  // namespace quarnel
