#include "editor/collated_text_order.h"

#include "platform/text.h"

namespace tovrin {
namespace {

int Sign(int value) {
    return (value > 0) - (value < 0);
}

} // namespace

CollatedTextOrder::CollatedTextOrder() {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

int CollatedTextOrder::Compare(const ReminderRecord& a, const ReminderRecord& b) const {
    return Sign(collator_.compare(FromCp1251(TextOf(a)), FromCp1251(TextOf(b))));
}

void CollatedTextOrder::Prepare(std::span<const ReminderRecord* const> records) {
    keys_.clear();
    keys_.reserve(records.size());
    for (const ReminderRecord* record : records) {
        keys_.push_back(collator_.sortKey(FromCp1251(TextOf(*record))));
    }
}

int CollatedTextOrder::ComparePrepared(std::size_t i, std::size_t j) const {
    return Sign(keys_[i].compare(keys_[j]));
}

} // namespace tovrin
