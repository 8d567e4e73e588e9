#pragma once

#include "core/lang/lang_file.h"

namespace tovrin::test {

// Counts how often the language file reported a failed open or a missing text.
struct CountingFeedback : LangFeedback {
    int opens = 0;
    int lookups = 0;
    void LangOpenFailed() override { ++opens; }
    void LangLookupFailed() override { ++lookups; }
};

} // namespace tovrin::test
