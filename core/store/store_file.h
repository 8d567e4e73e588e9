#pragma once

#include "core/store/read_only_file.h"
#include "core/store/reminder_record.h"
#include "core/store/save_result.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <type_traits>
#include <vector>

namespace tovrin {

// More reminders than any list a person keeps, or any store this program wrote, could hold: a
// store whose file would hold more is damaged (a count and a size no one could have written) and
// is not read at all. At 108 bytes a record that is a file of 1.7 GiB.
inline constexpr std::uint32_t kMostStoredRecords = std::uint32_t{1} << 24; // 16,777,216

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
    // The file would hold more than kMostStoredRecords records: none was read.
    bool tooLarge = false;
    // Memory ran out while the records were kept: what was read is not to be used.
    bool outOfMemory = false;

    // Records the count promised that the file does not hold (whole or cut).
    [[nodiscard]] std::uint32_t MissingRecords() const {
        return Refused() ? 0 : declaredCount - recordsRead;
    }
    // The store was not read: its readers go on with no records, and it must never be written
    // over from what they hold.
    [[nodiscard]] bool Refused() const { return tooLarge || outOfMemory; }
    // The records the file's size and count make room for (what tooLarge measures).
    std::uint64_t heldRecords = 0;
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

    // Optionally, room for `records` whole records that the file reader fills straight from the
    // file, sparing a copy; null to take every record through Records(). Each Filled() then says
    // that the room's next `records` records hold the file's bytes (raw, as DecodeRecord would
    // see them). The room may end up only partly filled.
    virtual std::uint8_t* Room(std::size_t records) {
        (void)records;
        return nullptr;
    }
    virtual void Filled(std::size_t records) { (void)records; }

protected:
    ~RecordBlockSink() = default;
};

// Splits the store's bytes, given in pieces of any size, into the count and whole records, and
// keeps the report. The file reader and the in-memory reader both go through it.
class StoreScanner {
public:
    StoreScanner(ReadReport& report, RecordBlockSink& sink, std::uint64_t sizeHint);
    void Feed(std::span<const std::uint8_t> bytes);
    // Whole records the reader put straight into the sink's Room(): checked and counted like fed
    // ones, then handed on with Filled(). Only right after the count, before any other record.
    void Delivered(std::span<const std::uint8_t> wholeRecords);
    void Finish(); // the data has ended
    // Every promised record has been handed on.
    [[nodiscard]] bool Done() const {
        return countKnown_ && (report_.tooLarge || emitted_ == report_.declaredCount);
    }
    // Bytes still needed to reach the last promised record (a large number before the count).
    [[nodiscard]] std::uint64_t Wanted() const;
    // Once the count is known: the most records the data can hold, whatever the count says.
    [[nodiscard]] std::size_t MostRecords() const { return mostRecords_; }

private:
    void Check(std::span<const std::uint8_t> wholeRecords);
    void Emit(std::span<const std::uint8_t> wholeRecords);
    std::size_t TakeCount(std::span<const std::uint8_t> bytes);

    ReadReport& report_;
    RecordBlockSink& sink_;
    std::uint64_t sizeHint_;
    bool countKnown_ = false;
    std::uint32_t emitted_ = 0;
    std::size_t mostRecords_ = 0;
    std::size_t partialSize_ = 0; // bytes of the count or of a record carried between pieces
    std::uint8_t partial_[kRecordSize]{};
};

ReadReport ScanStoreFile(const std::filesystem::path& path, IfMissing ifMissing,
                         RecordBlockSink& sink);
ReadReport ScanStoreBytes(std::span<const std::uint8_t> bytes, RecordBlockSink& sink);

namespace detail {

// Gives back what a refused read kept, memory included.
void DropIfRefused(const ReadReport& report, std::vector<ReminderRecord>& out, std::size_t before);

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
    // Sized once for the most the file can hold, so the list never moves while it fills; Trim
    // gives back what a picky rule left unused.
    void Begin(std::size_t mostRecords) override { out_.reserve(out_.size() + mostRecords); }
    void Records(std::span<const std::uint8_t> wholeRecords) override {
        CloseRoom();
        for (std::size_t at = 0; at < wholeRecords.size(); at += kRecordSize) {
            ReminderRecord record = DecodeRecord(wholeRecords.subspan(at).first<kRecordSize>());
            if (rule_(record)) {
                out_.push_back(record);
            }
        }
    }
    std::uint8_t* Room(std::size_t records) override {
        if constexpr (!kRecordLiesAsInFile) {
            return nullptr;
        }
        const std::size_t start = out_.size();
        out_.resize(start + records);
        filled_ = kept_ = start;
        roomOpen_ = true;
        return reinterpret_cast<std::uint8_t*>(out_.data() + start);
    }
    // The room's next records are raw file bytes: finish each, let the rule adjust or drop it,
    // and close the gaps.
    void Filled(std::size_t records) override {
        for (const std::size_t end = filled_ + records; filled_ < end; ++filled_) {
            FinishRawRecord(out_[filled_]);
            if (rule_(out_[filled_])) {
                if (kept_ != filled_) {
                    out_[kept_] = out_[filled_];
                }
                ++kept_;
            }
        }
    }
    void Trim() {
        CloseRoom();
        if (out_.capacity() > 2 * out_.size() + 64) {
            out_.shrink_to_fit();
        }
    }

private:
    // Drops what the rule left out and what the file did not fill.
    void CloseRoom() {
        if (roomOpen_) {
            out_.resize(kept_);
            roomOpen_ = false;
        }
    }

    Rule& rule_;
    std::vector<ReminderRecord>& out_;
    bool roomOpen_ = false;
    std::size_t filled_ = 0; // next record of the room to finish
    std::size_t kept_ = 0;   // where the next kept record goes
};

} // namespace detail

// Hands each record of the store to `visit` (callable with ReminderRecord&) in file order, without
// keeping any of them: for readers that want a few records out of many. A store that is Refused()
// hands none, or stops part way when memory ran out: the visitor then drops what it gathered.
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
// While reading, the list briefly has room for every record the file holds; a reader that keeps
// a few records of many is better served by ForEachStoredRecord.
template <typename Rule>
ReadReport ReadStore(const std::filesystem::path& path, IfMissing ifMissing, Rule&& rule,
                     std::vector<ReminderRecord>& out) {
    const std::size_t before = out.size();
    detail::KeepingSink<std::remove_reference_t<Rule>> sink(rule, out);
    ReadReport report = ScanStoreFile(path, ifMissing, sink);
    sink.Trim();
    detail::DropIfRefused(report, out, before);
    return report;
}

// Every record, kept as read.
ReadReport ReadStore(const std::filesystem::path& path, IfMissing ifMissing,
                     std::vector<ReminderRecord>& out);

// The store's bytes in memory, read exactly as the file would be.
template <typename Rule>
ReadReport ReadStoreBytes(std::span<const std::uint8_t> bytes, Rule&& rule,
                          std::vector<ReminderRecord>& out) {
    const std::size_t before = out.size();
    detail::KeepingSink<std::remove_reference_t<Rule>> sink(rule, out);
    ReadReport report = ScanStoreBytes(bytes, sink);
    sink.Trim();
    detail::DropIfRefused(report, out, before);
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
