// Opening and reading a search file with plain descriptors: large reads, no
// per-byte calls, and nothing that can block on a FIFO or a device.
#include "search_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quarnel {

bool SearchFile::Open(const std::string& path)
{
    Close();
    // O_NONBLOCK keeps a FIFO with no writer from blocking the open; a regular
    // file reads the same with or without it.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return false;
    struct stat info{};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void SearchFile::Close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

std::int64_t SearchFile::Length() const
{
    struct stat info{};
    if (m_fd < 0 || ::fstat(m_fd, &info) != 0) return -1;
    return static_cast<std::int64_t>(info.st_size);
}

std::size_t SearchFile::ReadAt(std::uint64_t offset, std::uint8_t* buffer, std::size_t size)
{
    std::size_t done = 0;
    while (done < size && m_fd >= 0) {
        const ssize_t got = ::pread(m_fd, buffer + done, size - done,
                                    static_cast<off_t>(offset + done));
        if (got > 0) {
            done += static_cast<std::size_t>(got);
        } else if (got == 0) {
            break;  // end of file before the length taken at the start
        } else if (errno != EINTR) {
            break;  // a read error
        }
    }
    return done;
}

std::uint64_t SearchFile::DataFrom(std::uint64_t offset) const
{
    if (m_fd < 0) return offset;
    const off_t data = ::lseek(m_fd, static_cast<off_t>(offset), SEEK_DATA);
    if (data >= 0) return static_cast<std::uint64_t>(data);
    if (errno != ENXIO) return offset;
    // No data after `offset`: a hole up to the end of the file, if the file
    // still reaches that far.
    const std::int64_t size = Length();
    return size > 0 && static_cast<std::uint64_t>(size) > offset ? static_cast<std::uint64_t>(size)
                                                                   : offset;
}

std::uint64_t SearchFile::HoleFrom(std::uint64_t offset) const
{
    if (m_fd < 0) return offset;
    const off_t hole = ::lseek(m_fd, static_cast<off_t>(offset), SEEK_HOLE);
    return hole >= 0 ? static_cast<std::uint64_t>(hole) : offset;
}

}  // namespace quarnel
