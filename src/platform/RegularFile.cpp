// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a file that lies outside the program's control: regular, non-blocking, bounded.
#include "platform/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string SizeText(size_t bytes) {
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0)
        return std::to_string(bytes / (1024 * 1024)) + " MB";
    return std::to_string(bytes) + " bytes";
}

// Closes the descriptor however the read ends.
struct Descriptor {
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd;
};

}  // namespace

std::optional<std::string> ReadRegularFile(const std::string& path, size_t maxBytes, std::string& error) {
    // O_NONBLOCK: opening a FIFO without a writer returns at once instead of waiting for one; the type is
    // then read from the open file itself, so nothing can be swapped in between
    Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.fd < 0) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? "is a folder" : "is not a regular file";
        return std::nullopt;
    }
    if (size_t(info.st_size) > maxBytes) {
        error = "is larger than " + SizeText(maxBytes);
        return std::nullopt;
    }
    std::string bytes;
    bytes.resize(size_t(info.st_size) + 1);  // one more, to see a file that grew meanwhile
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::read(file.fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = std::strerror(errno);
            return std::nullopt;
        }
        if (n == 0)
            break;
        done += size_t(n);
        if (done == bytes.size() && bytes.size() <= maxBytes)
            bytes.resize(std::min(maxBytes + 1, bytes.size() * 2));
    }
    if (done > maxBytes) {
        error = "is larger than " + SizeText(maxBytes);
        return std::nullopt;
    }
    bytes.resize(done);
    return bytes;
}
