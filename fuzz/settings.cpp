// SPDX-License-Identifier: GPL-3.0-or-later
// The settings reader on any file: what it took is written and read back the same.
#include "platform/Registry.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RegistryHive hive;
    hive.parse(std::string_view(reinterpret_cast<const char*>(data), size));
    std::string once = hive.serialize();
    RegistryHive again;
    again.parse(once);
    if (again.serialize() != once)
        std::abort();
    return 0;
}
