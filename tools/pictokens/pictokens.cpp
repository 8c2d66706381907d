// SPDX-License-Identifier: GPL-3.0-or-later
// pictokens FILE...: prints, for every line of each file, the tokenizer's class of each byte as one hex
// digit.
#include "ClassPrinter.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Why the last write to standard output failed (0 while none has).
int writeError = 0;

// Blocks go straight to standard output, past stdio's buffer.
bool WriteOut(std::string_view block) {
    while (!block.empty()) {
        const ssize_t count = ::write(STDOUT_FILENO, block.data(), block.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            writeError = count < 0 ? errno : EIO;
            return false;
        }
        block.remove_prefix(static_cast<std::size_t>(count));
    }
    return true;
}

enum class Outcome { kPrinted, kUnreadable, kWriteFailed };

// Reads the file block by block and prints its lines as they come in (mapping it costs more than reading
// it). A file that cannot be opened or read (a folder opens but does not read: EISDIR) is reported on
// standard error.
Outcome PrintFile(const char* path, ClassPrinter& printer) {
    const int file = ::open(path, O_RDONLY | O_CLOEXEC);
    if (file < 0) {
        std::fprintf(stderr, "pictokens: %s: %s\n", path, std::strerror(errno));
        return Outcome::kUnreadable;
    }
    ssize_t count = 0;
    for (;;) {
        const std::span<char> room = printer.Room();
        count = ::read(file, room.data(), room.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0 || !printer.Added(static_cast<std::size_t>(count))) {
            break;
        }
    }
    const int error = errno;
    ::close(file);
    if (count < 0) {
        std::fprintf(stderr, "pictokens: %s: %s\n", path, std::strerror(error));
    }
    // Whatever was read is printed, as far as it goes.
    const bool written = printer.Finish();
    return !written ? Outcome::kWriteFailed : (count < 0 ? Outcome::kUnreadable : Outcome::kPrinted);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: pictokens FILE...\n");
        return 2;
    }
    ClassPrinter printer(WriteOut);
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        const Outcome outcome = PrintFile(argv[i], printer);
        if (outcome == Outcome::kWriteFailed) {
            break;
        }
        if (outcome == Outcome::kUnreadable) {
            status = 2;
        }
    }
    if (writeError != 0) {
        std::fprintf(stderr, "pictokens: cannot write the output: %s\n", std::strerror(writeError));
        return 2;
    }
    return status;
}
