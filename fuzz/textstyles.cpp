// SPDX-License-Identifier: GPL-3.0-or-later
// The stored colour elements: damaged bytes are refused, good ones come back as they were stored.
#include "editctl/MemoOptions.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    if (auto styles = TTextStyles::Deserialize(bytes)) {
        auto back = TTextStyles::Deserialize(styles->Serialize());
        if (!back || !(*back == *styles))
            std::abort();
    }
    return 0;
}
