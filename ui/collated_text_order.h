#pragma once

#include "core/editor/compare_records.h"

#include <QCollator>
#include <QLocale>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tovrin {

// The message column's order: the user's locale, letter case ignored (QCollator).
//
// Collating 1,000,000 texts one pair at a time is far too slow for a click on a heading, so the
// sort goes by cheap keys first: each byte of a text (windows-1251 has only 256) stands for the
// rank of its primary weight, learnt once from the collator itself for the letters, digits,
// blanks and common signs. The texts are sorted by a few ranks at a time, packed with the row
// into one 64-bit number, and only rows that tie go on to their next ranks; rows whose ranks
// cannot tell them apart (equal ranks, or a byte without one) are ordered by the collator. The
// finished order is then checked pair by pair against the collator, and sorted by the collator
// alone should any pair disagree, so the result is always exactly the collator's.
class CollatedTextOrder final : public TextOrder {
public:
    // The user's locale unless another is named.
    explicit CollatedTextOrder(const QLocale& locale = QLocale());

    int Compare(const ReminderRecord& a, const ReminderRecord& b) const override;
    std::vector<int> StableOrder(std::span<const ReminderRecord* const> records) override;

    // How the last StableOrder went, for tests and benchmarks: pairs the collator settled,
    // the final check included, and whether the check found the quick order wanting.
    std::size_t CollatorCalls() const { return collatorCalls_; }
    bool FellBack() const { return fellBack_; }

    // No rank: the byte's collation is not one primary weight, or it was not studied.
    static constexpr std::uint8_t kNoRank = 0;

private:
    class Sorter;
    struct Judge;

    void LearnRanks();
    QString Text(std::string_view cp1251) const;
    // The text in the collator's characters, into `out` (kTextFieldSize of them).
    std::size_t Utf16(const ReminderRecord& record, char16_t* out) const;
    int CompareWith(const QCollator& collator, const ReminderRecord& a,
                    const ReminderRecord& b) const;
    bool Checked(std::span<const ReminderRecord* const> records, const std::vector<int>& order,
                 std::size_t begin, std::size_t end, Judge& judge) const;
    std::vector<int> CollatorOnly(std::span<const ReminderRecord* const> records);

    QCollator collator_;
    std::optional<QCollator> helperCollator_; // for the second thread of a long sort
    std::array<std::uint8_t, 256> rank_{};
    std::uint8_t mostRank_ = 0;
    std::array<char16_t, 256> utf16_{};
    std::size_t collatorCalls_ = 0;
    bool fellBack_ = false;
};

} // namespace tovrin
