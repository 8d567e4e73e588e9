#include "core/editor/compare_records.h"

#include "core/lang/codepage.h"

#include <algorithm>
#include <numeric>
#include <string>

namespace tovrin {
namespace {

std::string Folded(const ReminderRecord& record) {
    std::string text(TextOf(record));
    CharLowerCp1251(text);
    return text;
}

int Sign(int value) {
    return (value > 0) - (value < 0);
}

} // namespace

std::int32_t DateSortKey(const ReminderRecord& record) {
    static constexpr std::int32_t kDaysBefore[12] = {0,   31,  59,  90,  120, 151,
                                                     181, 212, 243, 273, 304, 334};
    const unsigned month = record.when.wMonth;
    const std::int32_t day = record.when.wDay;
    if (month < 1 || month > 12) {
        // Past the last day any real month can give.
        return 400 + day;
    }
    return kDaysBefore[month - 1] + day;
}

int CompareRecords(const ReminderRecord& a, const ReminderRecord& b, int column,
                   const TextOrder& textOrder) {
    if (column == kTextColumn) {
        return textOrder.Compare(a, b);
    }
    return DateSortKey(a) - DateSortKey(b);
}

int FoldedByteOrder::Compare(const ReminderRecord& a, const ReminderRecord& b) const {
    return Sign(Folded(a).compare(Folded(b)));
}

std::vector<int> FoldedByteOrder::StableOrder(std::span<const ReminderRecord* const> records) {
    std::vector<std::string> folded;
    folded.reserve(records.size());
    for (const ReminderRecord* record : records) {
        folded.push_back(Folded(*record));
    }
    std::vector<int> order(records.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return folded[static_cast<std::size_t>(a)] < folded[static_cast<std::size_t>(b)];
    });
    return order;
}

} // namespace tovrin
