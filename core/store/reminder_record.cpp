#include "core/store/reminder_record.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tovrin {
namespace {

constexpr std::size_t kTextOffset = 24;

// The byte-by-byte helpers serve big-endian machines only; little-endian ones copy whole fields.
[[maybe_unused]] void PutU16(std::uint8_t* out, std::uint16_t v) {
    out[0] = static_cast<std::uint8_t>(v);
    out[1] = static_cast<std::uint8_t>(v >> 8);
}

[[maybe_unused]] void PutI32(std::uint8_t* out, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

[[maybe_unused]] std::uint16_t GetU16(const std::uint8_t* in) {
    return static_cast<std::uint16_t>(in[0] | (in[1] << 8));
}

[[maybe_unused]] std::int32_t GetI32(const std::uint8_t* in) {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        v |= static_cast<std::uint32_t>(in[i]) << (8 * i);
    }
    return static_cast<std::int32_t>(v);
}

} // namespace

std::string_view TextOf(const ReminderRecord& record) {
    const char* end = std::find(record.text, record.text + kTextFieldSize, '\0');
    return {record.text, static_cast<std::size_t>(end - record.text)};
}

void SetText(ReminderRecord& record, std::string_view text, std::size_t limit) {
    const std::size_t n = std::min({text.size(), limit, kTextFieldSize - 1});
    std::memset(record.text, 0, kTextFieldSize);
    std::memcpy(record.text, text.data(), n);
}

void EncodeRecordInto(const ReminderRecord& record, std::uint8_t* out) {
    if constexpr (kRecordLiesAsInFile) {
        // The struct's first 24 bytes are the file's, field for field (checked in the header).
        std::memcpy(out, &record, kTextOffset);
    } else {
        PutI32(&out[0], record.mode);
        PutI32(&out[4], record.state);
        const std::uint16_t fields[8] = {record.when.wYear,      record.when.wMonth,
                                         record.when.wDayOfWeek, record.when.wDay,
                                         record.when.wHour,      record.when.wMinute,
                                         record.when.wSecond,    record.when.wMilliseconds};
        for (int i = 0; i < 8; ++i) {
            PutU16(&out[8 + 2 * i], fields[i]);
        }
    }
    // Bytes after the terminator are zeroed, so equal lists give equal files; a text that fills
    // the whole field is cut to leave room for its terminator.
    const void* end = std::memchr(record.text, '\0', kTextFieldSize - 1);
    const std::size_t length =
        end != nullptr ? static_cast<std::size_t>(static_cast<const char*>(end) - record.text)
                       : kTextFieldSize - 1;
    std::memcpy(out + kTextOffset, record.text, length);
    std::memset(out + kTextOffset + length, 0, kTextFieldSize - length);
}

RecordBytes EncodeRecord(const ReminderRecord& record) {
    RecordBytes out;
    EncodeRecordInto(record, out.data());
    return out;
}

ReminderRecord DecodeRecord(std::span<const std::uint8_t, kRecordSize> bytes) {
    ReminderRecord record;
    if constexpr (kRecordLiesAsInFile) {
        std::memcpy(&record, bytes.data(), kRecordSize);
    } else {
        record.mode = GetI32(&bytes[0]);
        record.state = GetI32(&bytes[4]);
        std::uint16_t* fields[8] = {&record.when.wYear,      &record.when.wMonth,
                                    &record.when.wDayOfWeek, &record.when.wDay,
                                    &record.when.wHour,      &record.when.wMinute,
                                    &record.when.wSecond,    &record.when.wMilliseconds};
        for (int i = 0; i < 8; ++i) {
            *fields[i] = GetU16(&bytes[8 + 2 * i]);
        }
        std::memcpy(record.text, &bytes[kTextOffset], kTextFieldSize);
    }
    // A text without a terminator in its field is cut at the field's last byte.
    FinishRawRecord(record);
    return record;
}

} // namespace tovrin
