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

std::size_t SearchFile::ReadUpTo(std::uint8_t* buffer, std::size_t size)
{
    std::size_t done = 0;
    while (done < size && m_fd >= 0) {
        const ssize_t got = ::read(m_fd, buffer + done, size - done);
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

}  // namespace quarnel
