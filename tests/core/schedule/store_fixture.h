#pragma once

#include "core/store/paths.h"
#include "core/store/reminder_record.h"
#include "schedule_test_util.h"
#include "support/temp_base.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tovrin::test {

// The store's bytes made by hand (count, then records), so these tests do not lean on the
// writer they would otherwise share a fault with.
inline std::vector<std::uint8_t> StoreBytes(const std::vector<ReminderRecord>& records,
                                            std::uint32_t count) {
    std::vector<std::uint8_t> bytes;
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(count >> (8 * i)));
    }
    for (const ReminderRecord& record : records) {
        const RecordBytes encoded = EncodeRecord(record);
        bytes.insert(bytes.end(), encoded.begin(), encoded.end());
    }
    return bytes;
}

inline void PutStore(const std::vector<ReminderRecord>& records) {
    WriteBytes(kStorePath, StoreBytes(records, static_cast<std::uint32_t>(records.size())));
}

inline std::vector<std::string> Texts(const std::vector<ReminderRecord>& records) {
    std::vector<std::string> texts;
    for (const ReminderRecord& record : records) {
        texts.emplace_back(TextOf(record));
    }
    return texts;
}

} // namespace tovrin::test
