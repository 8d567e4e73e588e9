#pragma once

#include "editor/compare_records.h"

#include <QCollator>
#include <QCollatorSortKey>

#include <vector>

namespace tovrin {

// The message column's order: the user's locale, letter case ignored. Sorting makes one sort key
// per row, so each text is collated once however many comparisons the sort makes.
class CollatedTextOrder final : public TextOrder {
public:
    CollatedTextOrder();

    int Compare(const ReminderRecord& a, const ReminderRecord& b) const override;
    void Prepare(std::span<const ReminderRecord* const> records) override;
    int ComparePrepared(std::size_t i, std::size_t j) const override;

private:
    QCollator collator_;
    std::vector<QCollatorSortKey> keys_;
};

} // namespace tovrin
