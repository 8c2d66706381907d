// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a file that lies outside the program's control (a .cod, a source a .cod names, a processor
// header): only a regular file, never a blocking open, never more than a bound.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

// The whole file when it is a regular file of at most `maxBytes`; otherwise none, and `error` says why
// ("is not a regular file", "is larger than 16 MB", the system's reason). A FIFO or a device is refused
// without waiting for a writer, and a file that grows while it is read is cut at the bound and refused.
std::optional<std::string> ReadRegularFile(const std::string& path, size_t maxBytes, std::string& error);
