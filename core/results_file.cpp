// Writing a report to a file or descriptor. A save is complete only when
// every write and the close succeeded; until then the old file stays whole.
#include "results_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <optional>
#include <thread>
#include <vector>

#include "cp932.h"
#include "slot_handoff.h"

namespace quarnel {
namespace {

bool WriteAll(int fd, std::string_view data, int& error)
{
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written > 0) {
            data.remove_prefix(static_cast<std::size_t>(written));
        } else if (written < 0 && errno == EINTR) {
            continue;
        } else {
            error = written < 0 ? errno : ENOSPC;
            return false;
        }
    }
    return true;
}

// Closes `fd`, keeping the first error seen.
void CloseChecked(int fd, int& error)
{
    if (::close(fd) != 0 && error == 0) error = errno;
}

std::string DirectoryOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

mode_t NewFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The file a save really replaces: the target of a link, so that the link
// stays a link.
std::string ResolveTarget(const std::string& path)
{
    struct stat info{};
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            std::string resolved(real);
            std::free(real);
            return resolved;
        }
    }
    return path;
}

SaveOutcome WriteInPlace(const Report& report, const std::string& path, ReportEncoding encoding)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_TRUNC | O_NOCTTY, 0666);
    if (fd < 0) return {false, errno};
    SaveOutcome outcome = WriteReport(report, fd, encoding);
    CloseChecked(fd, outcome.error);
    outcome.ok = outcome.error == 0;
    return outcome;
}

}  // namespace

SaveOutcome WriteReport(const Report& report, int fd, ReportEncoding encoding)
{
    int error = 0;
    if (encoding == ReportEncoding::Utf8Lf) {
        report.ForEachText("\n", [&](std::string_view slice) { return WriteAll(fd, Cp932ToUtf8(slice), error); });
        return {error == 0, error};
    }
    // Formatting a large report costs as much as writing it, so a thread
    // formats the next buffers while this one writes.
    constexpr std::uint32_t kBuffers = 3;
    constexpr std::size_t kBufferSize = std::size_t{4} << 20;
    struct Filled {
        std::vector<char> bytes = std::vector<char>(kBufferSize);
        std::size_t size = 0;
    };
    std::vector<Filled> buffers(kBuffers);
    SlotHandoff handoff(kBuffers);
    std::thread formatter([&] {
        Report::TextReader reader(report, "\r\n");
        for (;;) {
            const std::optional<std::uint32_t> slot = handoff.AcquireFree();
            if (!slot) return;
            Filled& filled = buffers[*slot];
            filled.size = reader.Read(filled.bytes.data(), filled.bytes.size());
            handoff.Publish();
            if (filled.size == 0) return;
        }
    });
    for (;;) {
        const Filled& filled = buffers[handoff.AcquireFilled()];
        if (filled.size == 0 || !WriteAll(fd, std::string_view(filled.bytes.data(), filled.size), error)) break;
        handoff.Release();
    }
    handoff.Stop();
    formatter.join();
    return {error == 0, error};
}

SaveOutcome SaveReportFile(const Report& report, const std::string& path, ReportEncoding encoding)
{
    if (path.empty()) return {false, ENOENT};
    const std::string target = ResolveTarget(path);
    struct stat old{};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) return {false, EISDIR};
    // A device or pipe is written where it is; renaming a file over it would
    // replace the device node.
    if (exists && !S_ISREG(old.st_mode)) return WriteInPlace(report, target, encoding);

    std::string temp = DirectoryOf(target) + "/." + NameOf(target) + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        const int error = errno;
        // A writable file in a folder we may not create files in can only be
        // written in place; anything else is a real failure.
        if (exists && (error == EACCES || error == EPERM)) {
            return WriteInPlace(report, target, encoding);
        }
        return {false, error};
    }
    int error = 0;
    if (::fchmod(fd, exists ? (old.st_mode & 07777) : NewFileMode()) != 0) error = errno;
    if (exists && ::geteuid() == 0) {
        // Keep the owner of a file root saves over; a failure here harms nothing.
        [[maybe_unused]] const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
    }
    if (error == 0) error = WriteReport(report, fd, encoding).error;
    CloseChecked(fd, error);
    if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        return {false, error};
    }
    return {true, 0};
}

}  // namespace quarnel
