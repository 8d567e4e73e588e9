#pragma once

#include "store/read_only_file.h"
#include "store/reminder_record.h"
#include "store/save_result.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

namespace tovrin {

// How reading the store went. The store is read as far as it is sound: a count cut short is an
// empty store, a last record cut short is dropped, texts without an end are cut inside their
// field, and bytes after the last promised record are ignored. Each of those is noted here.
struct ReadReport : OpenReport {
    std::uint32_t declaredCount = 0;
    std::uint32_t recordsRead = 0;       // whole records handed on, at most declaredCount
    bool countCutShort = false;          // the file has 1 to 3 bytes
    bool lastRecordCutShort = false;     // the file ended inside a record, which was dropped
    std::uint32_t unterminatedTexts = 0; // texts with no terminator in their 84 bytes
    bool trailingBytes = false;          // bytes beyond the last record the count promised

    // Records the count promised that the file does not hold (whole or cut).
    [[nodiscard]] std::uint32_t MissingRecords() const { return declaredCount - recordsRead; }
    // Opened, or missing, and nothing was dropped, cut or ignored.
    [[nodiscard]] bool Sound() const;
};

// Plain sentences, one per problem the report shows, naming the file as `file`; none when sound.
std::vector<std::string> DescribeProblems(const ReadReport& report, const std::string& file);

// Takes the store's records as runs of whole 108-byte records, in file order.
class RecordBlockSink {
public:
    // Called once the count is read, with the most records the data can hold, so a list can be
    // sized once; never more than the file's size allows, whatever the count says.
    virtual void Begin(std::size_t mostRecords) { (void)mostRecords; }
    virtual void Records(std::span<const std::uint8_t> wholeRecords) = 0;

protected:
    ~RecordBlockSink() = default;
};

// Splits the store's bytes, given in pieces of any size, into the count and whole records, and
// keeps the report. The file reader and the in-memory reader both go through it.
class StoreScanner {
public:
    StoreScanner(ReadReport& report, RecordBlockSink& sink, std::uint64_t sizeHint);
    void Feed(std::span<const std::uint8_t> bytes);
    void Finish(); // the data has ended
    // Every promised record has been handed on.
    [[nodiscard]] bool Done() const { return countKnown_ && emitted_ == report_.declaredCount; }
    // Bytes still needed to reach the last promised record (a large number before the count).
    [[nodiscard]] std::uint64_t Wanted() const;

private:
    void Emit(std::span<const std::uint8_t> wholeRecords);
    std::size_t TakeCount(std::span<const std::uint8_t> bytes);

    ReadReport& report_;
    RecordBlockSink& sink_;
    std::uint64_t sizeHint_;
    bool countKnown_ = false;
    std::uint32_t emitted_ = 0;
    std::size_t partialSize_ = 0; // bytes of the count or of a record carried between pieces
    std::uint8_t partial_[kRecordSize]{};
};

ReadReport ScanStoreFile(const std::filesystem::path& path, IfMissing ifMissing,
                         RecordBlockSink& sink);
ReadReport ScanStoreBytes(std::span<const std::uint8_t> bytes, RecordBlockSink& sink);

namespace detail {

template <typename Visit> class VisitingSink final : public RecordBlockSink {
public:
    explicit VisitingSink(Visit& visit) : visit_(visit) {}
    void Records(std::span<const std::uint8_t> wholeRecords) override {
        for (std::size_t at = 0; at < wholeRecords.size(); at += kRecordSize) {
            ReminderRecord record = DecodeRecord(wholeRecords.subspan(at).first<kRecordSize>());
            visit_(record);
        }
    }

private:
    Visit& visit_;
};

template <typename Rule> class KeepingSink final : public RecordBlockSink {
public:
    KeepingSink(Rule& rule, std::vector<ReminderRecord>& out) : rule_(rule), out_(out) {}
    // Reserving the most the file can hold costs little: untouched pages of a large block are
    // never committed, and Trim gives back what a picky rule left unused.
    void Begin(std::size_t mostRecords) override { out_.reserve(out_.size() + mostRecords); }
    void Records(std::span<const std::uint8_t> wholeRecords) override {
        for (std::size_t at = 0; at < wholeRecords.size(); at += kRecordSize) {
            ReminderRecord record = DecodeRecord(wholeRecords.subspan(at).first<kRecordSize>());
            if (rule_(record)) {
                out_.push_back(record);
            }
        }
    }
    void Trim() {
        if (out_.capacity() > 2 * out_.size() + 64) {
            out_.shrink_to_fit();
        }
    }

private:
    Rule& rule_;
    std::vector<ReminderRecord>& out_;
};

} // namespace detail

// Hands each record of the store to `visit` (callable with ReminderRecord&) in file order, without
// keeping any of them: for readers that want a few records out of many.
template <typename Visit>
ReadReport ForEachStoredRecord(const std::filesystem::path& path, IfMissing ifMissing,
                               Visit&& visit) {
    detail::VisitingSink<std::remove_reference_t<Visit>> sink(visit);
    return ScanStoreFile(path, ifMissing, sink);
}

template <typename Visit>
ReadReport ForEachRecordInBytes(std::span<const std::uint8_t> bytes, Visit&& visit) {
    detail::VisitingSink<std::remove_reference_t<Visit>> sink(visit);
    return ScanStoreBytes(bytes, sink);
}

// Reads the store and appends to `out`, in file order, every record `rule` keeps. The rule
// (bool(ReminderRecord&)) may adjust a record before it is kept. A store that cannot be opened
// gives none; one whose reading stops early gives those read before (the report says so).
template <typename Rule>
ReadReport ReadStore(const std::filesystem::path& path, IfMissing ifMissing, Rule&& rule,
                     std::vector<ReminderRecord>& out) {
    detail::KeepingSink<std::remove_reference_t<Rule>> sink(rule, out);
    ReadReport report = ScanStoreFile(path, ifMissing, sink);
    sink.Trim();
    return report;
}

// Every record, kept as read.
ReadReport ReadStore(const std::filesystem::path& path, IfMissing ifMissing,
                     std::vector<ReminderRecord>& out);

// The store's bytes in memory, read exactly as the file would be.
template <typename Rule>
ReadReport ReadStoreBytes(std::span<const std::uint8_t> bytes, Rule&& rule,
                          std::vector<ReminderRecord>& out) {
    detail::KeepingSink<std::remove_reference_t<Rule>> sink(rule, out);
    ReadReport report = ScanStoreBytes(bytes, sink);
    sink.Trim();
    return report;
}

// The file's bytes for a list: the count, then each record's 108 bytes in list order, the text
// zero-filled after its terminator so equal lists give equal files. Empty if the list is too long
// for the 32-bit count.
std::vector<std::uint8_t> EncodeStore(std::span<const ReminderRecord> records);
std::vector<std::uint8_t> EncodeStore(std::span<const ReminderRecord* const> records);

// Replaces the store with the list, atomically: on failure the old store is left as it was and
// the result says why.
SaveResult WriteStore(const std::filesystem::path& path, std::span<const ReminderRecord> records);
SaveResult WriteStore(const std::filesystem::path& path,
                      std::span<const ReminderRecord* const> records);

} // namespace tovrin
