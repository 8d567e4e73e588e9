// The input bytes are a store file. Every reader must take them without a crash, a hang or an
// allocation beyond the input's size, and all of them must agree: whole, in pieces, from a file,
// and after writing back what was read.
#include "core/store/store_file.h"
#include "fuzz/fuzz_scratch.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

using namespace tovrin;
using fuzz::Check;

struct CollectBytes final : RecordBlockSink {
    std::vector<std::uint8_t> bytes;
    void Records(std::span<const std::uint8_t> wholeRecords) override {
        bytes.insert(bytes.end(), wholeRecords.begin(), wholeRecords.end());
    }
};

bool SameReport(const ReadReport& a, const ReadReport& b) {
    return a.declaredCount == b.declaredCount && a.recordsRead == b.recordsRead &&
           a.countCutShort == b.countCutShort && a.lastRecordCutShort == b.lastRecordCutShort &&
           a.unterminatedTexts == b.unterminatedTexts && a.trailingBytes == b.trailingBytes;
}

bool SameRecords(const std::vector<ReminderRecord>& a, const std::vector<ReminderRecord>& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(ReminderRecord)) == 0);
}

// Equal in everything a reader may look at; bytes after a text's terminator carry no meaning.
bool SameMeaning(const std::vector<ReminderRecord>& a, const std::vector<ReminderRecord>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].mode != b[i].mode || a[i].state != b[i].state || !(a[i].when == b[i].when) ||
            TextOf(a[i]) != TextOf(b[i])) {
            return false;
        }
    }
    return true;
}

void CheckPieces(std::span<const std::uint8_t> bytes, const ReadReport& whole,
                 const std::vector<std::uint8_t>& wholeBytes) {
    const std::size_t piece = 1 + (bytes.empty() ? 0 : bytes[0] % 131);
    CollectBytes sink;
    ReadReport report;
    StoreScanner scanner(report, sink, bytes.size());
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        scanner.Feed(bytes.subspan(at, std::min(piece, bytes.size() - at)));
    }
    scanner.Finish();
    Check(SameReport(report, whole) && sink.bytes == wholeBytes);
}

void CheckFile(std::span<const std::uint8_t> bytes, const ReadReport& whole,
               const std::vector<ReminderRecord>& records) {
    const std::filesystem::path& file =
        fuzz::WriteScratch("ztovrin.dat", bytes.data(), bytes.size());
    std::vector<ReminderRecord> fromFile;
    const ReadReport report = ReadStore(file, IfMissing::LeaveAlone, fromFile);
    Check(report.outcome == OpenOutcome::Opened && SameReport(report, whole));
    Check(SameRecords(fromFile, records));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    std::vector<ReminderRecord> records;
    const ReadReport report = ReadStoreBytes(
        bytes, [](ReminderRecord&) { return true; }, records);
    Check(records.size() == report.recordsRead && report.recordsRead <= report.declaredCount);
    Check(size >= 4 + std::size_t{report.recordsRead} * kRecordSize || report.recordsRead == 0);
    for (const ReminderRecord& record : records) {
        Check(TextOf(record).size() < kTextFieldSize);
    }

    CollectBytes whole;
    ScanStoreBytes(bytes, whole);
    CheckPieces(bytes, report, whole.bytes);
    CheckFile(bytes, report, records);

    // Written back, the records read must read again unchanged, and the file must be sound.
    const std::vector<std::uint8_t> encoded = EncodeStore(records);
    std::vector<ReminderRecord> again;
    const ReadReport second = ReadStoreBytes(
        encoded, [](ReminderRecord&) { return true; }, again);
    Check(second.Sound() && SameMeaning(again, records));
    Check(EncodeStore(again) == encoded);
    return 0;
}
