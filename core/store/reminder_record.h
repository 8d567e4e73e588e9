#pragma once

#include "core/store/systemtime.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace tovrin {

// Repetition modes. The numbers are stored in files written by every copy of the program, so they
// are not a running sequence and must never change.
inline constexpr int32_t MODE_NONE = 0;
inline constexpr int32_t MODE_DAILY = 12;
inline constexpr int32_t MODE_YEARLY = 13;
inline constexpr int32_t MODE_MONTHLY = 14;
inline constexpr int32_t MODE_ONCE = 57;

inline constexpr std::size_t kRecordSize = 108;
inline constexpr std::size_t kTextFieldSize = 84;
// What the edit page lets the user type; a longer text from the file (up to the field's 83) is
// kept whole.
inline constexpr std::size_t kMaxTextLength = 80;

// One reminder, 108 bytes, laid out exactly as in the store file (little-endian on disk). Only
// EncodeRecord and DecodeRecord turn it into bytes and back; they copy it whole where the machine
// is little-endian and go field by field elsewhere.
struct ReminderRecord {
    int32_t mode = MODE_NONE;
    int32_t state = 0;
    SYSTEMTIME when{};
    char text[kTextFieldSize]{};
};

static_assert(sizeof(ReminderRecord) == kRecordSize);
static_assert(offsetof(ReminderRecord, mode) == 0);
static_assert(offsetof(ReminderRecord, state) == 4);
static_assert(offsetof(ReminderRecord, when) == 8);
static_assert(offsetof(ReminderRecord, text) == 24);

using RecordBytes = std::array<std::uint8_t, kRecordSize>;

// The text up to its terminator, never past the 84-byte field.
std::string_view TextOf(const ReminderRecord& record);

// Replaces the text, cut to limit bytes (at most the field's 83 before its terminator), and
// zero-fills the rest of the field so equal records give equal bytes.
void SetText(ReminderRecord& record, std::string_view text, std::size_t limit = kMaxTextLength);

// Field-by-field little-endian conversion to and from the file's 108 bytes. Decoding always leaves
// the text terminated inside its field; encoding zero-fills the bytes after the terminator.
RecordBytes EncodeRecord(const ReminderRecord& record);
void EncodeRecordInto(const ReminderRecord& record, std::uint8_t* out); // out: kRecordSize bytes
ReminderRecord DecodeRecord(std::span<const std::uint8_t, kRecordSize> bytes);

// Where a record's bytes in memory are the file's bytes (little-endian machines), whole runs of
// records may be read straight into place; FinishRawRecord then does the rest of DecodeRecord's
// work on each.
inline constexpr bool kRecordLiesAsInFile = std::endian::native == std::endian::little;
inline void FinishRawRecord(ReminderRecord& record) {
    record.text[kTextFieldSize - 1] = '\0';
}

} // namespace tovrin
