// One file open for a search: a raw descriptor read in large blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace quarnel {

class SearchFile {
public:
    SearchFile() = default;
    ~SearchFile() { Close(); }
    SearchFile(const SearchFile&) = delete;
    SearchFile& operator=(const SearchFile&) = delete;

    // Opens `path` for reading. Only a regular file opens: a directory, FIFO,
    // socket or device is refused, and opening never blocks.
    [[nodiscard]] bool Open(const std::string& path);
    void Close();
    [[nodiscard]] bool IsOpen() const { return m_fd >= 0; }

    // The size in bytes at the time of the call, or -1.
    [[nodiscard]] std::int64_t Length() const;

    // Reads up to `size` bytes from `offset` into `buffer` and returns how
    // many it read. Fewer than `size` means the file ended early (it shrank)
    // or a read failed: either way the caller cannot go on.
    [[nodiscard]] std::size_t ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size);

    // Where data next starts at or after `offset`: past `offset` when a hole
    // (a run of unwritten zeros in a sparse file) starts there, else `offset`
    // itself, also when the file system cannot tell.
    [[nodiscard]] std::uint64_t DataFrom(std::uint64_t offset) const;
    // Where the next hole (or the end of the file) starts at or after
    // `offset`; `offset` itself when the file system cannot tell.
    [[nodiscard]] std::uint64_t HoleFrom(std::uint64_t offset) const;

private:
    int m_fd = -1;
};

}  // namespace quarnel
