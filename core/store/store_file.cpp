#include "core/store/store_file.h"

#include "core/store/atomic_file.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <system_error>

namespace tovrin {
namespace {

constexpr std::size_t kCountSize = 4;
// Large enough that the system call per block vanishes next to decoding, small enough to stay in
// the cache while the records are decoded.
constexpr std::size_t kReadBlock = std::size_t{256} * 1024;
// Whole records, so only the file's end can cut one.
constexpr std::size_t kRoomBlock = kRecordSize * 600;
constexpr std::uint64_t kUnknownWanted = std::uint64_t{1} << 62;

std::uint32_t GetU32(const std::uint8_t* in) {
    return static_cast<std::uint32_t>(in[0]) | static_cast<std::uint32_t>(in[1]) << 8 |
           static_cast<std::uint32_t>(in[2]) << 16 | static_cast<std::uint32_t>(in[3]) << 24;
}

bool TextUnterminated(const std::uint8_t* record) {
    // Writers zero-fill after the terminator, so the field's last byte settles almost every case.
    if (record[kRecordSize - 1] == 0) {
        return false;
    }
    constexpr std::size_t kTextOffset = kRecordSize - kTextFieldSize;
    return std::memchr(record + kTextOffset, 0, kTextFieldSize) == nullptr;
}

template <typename Get> std::vector<std::uint8_t> Encode(std::size_t count, Get get) {
    if (count > std::numeric_limits<std::uint32_t>::max()) {
        return {};
    }
    // Every byte is written below; the buffer need not be zeroed first.
    std::vector<std::uint8_t> bytes(kCountSize + count * kRecordSize);
    for (std::size_t i = 0; i < kCountSize; ++i) {
        bytes[i] = static_cast<std::uint8_t>(count >> (8 * i));
    }
    std::uint8_t* out = bytes.data() + kCountSize;
    for (std::size_t i = 0; i < count; ++i, out += kRecordSize) {
        EncodeRecordInto(get(i), out);
    }
    return bytes;
}

SaveResult Save(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    // Even an empty list has its 4-byte count; no bytes means the count could not hold the list.
    if (bytes.empty()) {
        return SaveResult::Failure(path.string(), SaveStep::Prepare, EFBIG);
    }
    return WriteFileAtomically(path, bytes);
}

std::string Reason(int error) {
    return std::generic_category().message(error);
}

} // namespace

bool ReadReport::Sound() const {
    const bool opened =
        outcome == OpenOutcome::Opened || (outcome == OpenOutcome::Missing && createError == 0);
    return opened && !Refused() && !readFailed && !countCutShort && !lastRecordCutShort &&
           unterminatedTexts == 0 && !trailingBytes && recordsRead == declaredCount;
}

std::vector<std::string> DescribeProblems(const ReadReport& report, const std::string& file) {
    std::vector<std::string> lines;
    if (report.outcome == OpenOutcome::Failed) {
        lines.push_back("Could not open " + file + ": " + Reason(report.error));
    } else if (report.outcome == OpenOutcome::Missing && report.createError != 0) {
        lines.push_back(file +
                        " does not exist and could not be created: " + Reason(report.createError));
    }
    if (report.readFailed) {
        lines.push_back("Reading " + file + " stopped early: " + Reason(report.error));
    }
    if (report.countCutShort) {
        lines.push_back(file + " is too short to hold its record count (" +
                        std::to_string(report.fileSize) + " bytes); it is read as empty");
    }
    if (report.tooLarge) {
        lines.push_back(file + " is damaged: it would hold " + std::to_string(report.heldRecords) +
                        " reminders, more than the " + std::to_string(kMostStoredRecords) +
                        " a list of reminders can have; it is read as empty and not opened for "
                        "editing");
    }
    if (report.outOfMemory) {
        lines.push_back("There is not enough memory to read " + file + " (" +
                        std::to_string(report.fileSize) + " bytes); it is read as empty");
    }
    if (report.MissingRecords() > 0) {
        lines.push_back(file + " promises " + std::to_string(report.declaredCount) +
                        " reminders but holds only " + std::to_string(report.recordsRead));
    }
    if (report.lastRecordCutShort) {
        lines.push_back("The last reminder in " + file + " is cut short and is left out");
    }
    if (report.unterminatedTexts > 0) {
        lines.push_back(std::to_string(report.unterminatedTexts) + " reminder text(s) in " + file +
                        " have no end and are cut to " + std::to_string(kTextFieldSize - 1) +
                        " characters");
    }
    if (report.trailingBytes) {
        lines.push_back(file + " holds bytes after its last reminder; they are ignored");
    }
    return lines;
}

StoreScanner::StoreScanner(ReadReport& report, RecordBlockSink& sink, std::uint64_t sizeHint)
    : report_(report), sink_(sink), sizeHint_(sizeHint) {}

std::uint64_t StoreScanner::Wanted() const {
    if (!countKnown_) {
        return kUnknownWanted;
    }
    if (report_.tooLarge) {
        return 0;
    }
    return std::uint64_t{report_.declaredCount - emitted_} * kRecordSize - partialSize_;
}

std::size_t StoreScanner::TakeCount(std::span<const std::uint8_t> bytes) {
    const std::size_t take = std::min(kCountSize - partialSize_, bytes.size());
    if (take == 0) {
        return 0;
    }
    std::memcpy(partial_ + partialSize_, bytes.data(), take);
    partialSize_ += take;
    if (partialSize_ == kCountSize) {
        countKnown_ = true;
        partialSize_ = 0;
        report_.declaredCount = GetU32(partial_);
        const std::uint64_t room =
            sizeHint_ > kCountSize ? (sizeHint_ - kCountSize) / kRecordSize : 0;
        report_.heldRecords = std::min<std::uint64_t>(report_.declaredCount, room);
        if (report_.heldRecords > kMostStoredRecords) {
            // Nothing of it is handed on: no reader sizes a list for it, or spends a minute
            // reading gigabytes of it.
            report_.tooLarge = true;
            return take;
        }
        mostRecords_ = static_cast<std::size_t>(report_.heldRecords);
        sink_.Begin(mostRecords_);
    }
    return take;
}

void StoreScanner::Check(std::span<const std::uint8_t> wholeRecords) {
    for (std::size_t at = 0; at < wholeRecords.size(); at += kRecordSize) {
        report_.unterminatedTexts += TextUnterminated(wholeRecords.data() + at) ? 1 : 0;
    }
    emitted_ += static_cast<std::uint32_t>(wholeRecords.size() / kRecordSize);
}

void StoreScanner::Emit(std::span<const std::uint8_t> wholeRecords) {
    Check(wholeRecords);
    sink_.Records(wholeRecords);
}

void StoreScanner::Delivered(std::span<const std::uint8_t> wholeRecords) {
    Check(wholeRecords);
    sink_.Filled(wholeRecords.size() / kRecordSize);
}

void StoreScanner::Feed(std::span<const std::uint8_t> bytes) {
    if (!countKnown_) {
        bytes = bytes.subspan(TakeCount(bytes));
        if (!countKnown_) {
            return;
        }
    }
    if (report_.tooLarge) {
        return;
    }
    if (partialSize_ > 0 && !Done() && !bytes.empty()) {
        const std::size_t take = std::min(kRecordSize - partialSize_, bytes.size());
        std::memcpy(partial_ + partialSize_, bytes.data(), take);
        partialSize_ += take;
        bytes = bytes.subspan(take);
        if (partialSize_ < kRecordSize) {
            return;
        }
        partialSize_ = 0;
        Emit({partial_, kRecordSize});
    }
    const std::size_t whole = static_cast<std::size_t>(
        std::min<std::uint64_t>(bytes.size() / kRecordSize, report_.declaredCount - emitted_));
    if (whole > 0) {
        Emit(bytes.first(whole * kRecordSize));
        bytes = bytes.subspan(whole * kRecordSize);
    }
    if (Done()) {
        report_.trailingBytes = report_.trailingBytes || !bytes.empty();
    } else if (!bytes.empty()) {
        std::memcpy(partial_, bytes.data(), bytes.size());
        partialSize_ = bytes.size();
    }
}

void StoreScanner::Finish() {
    report_.countCutShort = !countKnown_ && partialSize_ > 0;
    report_.lastRecordCutShort = countKnown_ && partialSize_ > 0 && !report_.tooLarge;
    report_.recordsRead = emitted_;
}

namespace {

// Reads the count on its own, then, where the sink offers room, every record the file's size
// allows straight into it, in blocks that stay in the cache while they are checked and finished;
// the block loop after it sees only what is left.
void ReadCountAndRoom(ReadOnlyFile& file, StoreScanner& scanner, RecordBlockSink& sink,
                      ReadReport& report) {
    std::uint8_t count[kCountSize];
    scanner.Feed({count, file.Read(count, kCountSize, report)});
    if (scanner.MostRecords() == 0) {
        return;
    }
    std::uint8_t* const room = sink.Room(scanner.MostRecords());
    if (room == nullptr) {
        return;
    }
    const std::size_t total = scanner.MostRecords() * kRecordSize;
    for (std::size_t at = 0; at < total;) {
        const std::size_t want = std::min(kRoomBlock, total - at);
        const std::size_t got = file.Read(room + at, want, report);
        const std::size_t whole = got / kRecordSize * kRecordSize;
        scanner.Delivered({room + at, whole});
        if (got < want) {
            // A record cut by the file's end is carried by the scanner like any other.
            scanner.Feed({room + at + whole, got - whole});
            return;
        }
        at += got;
    }
}

} // namespace

ReadReport ScanStoreFile(const std::filesystem::path& path, IfMissing ifMissing,
                         RecordBlockSink& sink) {
    ReadReport report;
    ReadOnlyFile file;
    if (!file.Open(path, ifMissing, report)) {
        return report;
    }
    StoreScanner scanner(report, sink, report.fileSize);
    // A list sized by the file's own count may be more than the machine can give: the store is
    // then unread, and the program goes on.
    try {
        ReadCountAndRoom(file, scanner, sink, report);
        const std::size_t capacity = static_cast<std::size_t>(
            std::clamp<std::uint64_t>(report.fileSize + 1, kRecordSize, kReadBlock));
        const auto buffer = std::make_unique_for_overwrite<std::uint8_t[]>(capacity);
        while (!report.tooLarge) {
            // One byte past what the count promises tells trailing bytes from a clean end.
            const std::size_t want =
                static_cast<std::size_t>(std::min<std::uint64_t>(capacity, scanner.Wanted() + 1));
            const std::size_t got = file.Read(buffer.get(), want, report);
            scanner.Feed({buffer.get(), got});
            if (got < want || scanner.Done()) {
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        report.outOfMemory = true;
    }
    scanner.Finish();
    return report;
}

ReadReport ScanStoreBytes(std::span<const std::uint8_t> bytes, RecordBlockSink& sink) {
    ReadReport report;
    report.fileSize = bytes.size();
    StoreScanner scanner(report, sink, bytes.size());
    try {
        scanner.Feed(bytes);
    } catch (const std::bad_alloc&) {
        report.outOfMemory = true;
    }
    scanner.Finish();
    return report;
}

void detail::DropIfRefused(const ReadReport& report, std::vector<ReminderRecord>& out,
                           std::size_t before) {
    if (report.Refused()) {
        out.resize(std::min(before, out.size()));
        out.shrink_to_fit();
    }
}

ReadReport ReadStore(const std::filesystem::path& path, IfMissing ifMissing,
                     std::vector<ReminderRecord>& out) {
    return ReadStore(
        path, ifMissing, [](ReminderRecord&) { return true; }, out);
}

std::vector<std::uint8_t> EncodeStore(std::span<const ReminderRecord> records) {
    return Encode(records.size(),
                  [&](std::size_t i) -> const ReminderRecord& { return records[i]; });
}

std::vector<std::uint8_t> EncodeStore(std::span<const ReminderRecord* const> records) {
    return Encode(records.size(),
                  [&](std::size_t i) -> const ReminderRecord& { return *records[i]; });
}

SaveResult WriteStore(const std::filesystem::path& path, std::span<const ReminderRecord> records) {
    return Save(path, EncodeStore(records));
}

SaveResult WriteStore(const std::filesystem::path& path,
                      std::span<const ReminderRecord* const> records) {
    return Save(path, EncodeStore(records));
}

} // namespace tovrin
