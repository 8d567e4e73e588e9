#pragma once

#include "core/editor/compare_records.h"

#include <QCollator>
#include <QLocale>
#include <QString>

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tovrin {

// The message column's order: the user's locale, letter case ignored (QCollator).
//
// Collating 100,000 texts one pair at a time is far too slow for a click on a heading, so the
// sort goes by a cheap key first: each byte of a text (windows-1251 has only 256) is replaced by
// the rank of its primary weight, learnt once from the collator itself for the letters, digits,
// blanks and common signs. Two texts whose keys differ inside that run are ordered by it; every
// other pair is asked of the collator. The finished order is then checked pair by pair against
// the collator, and sorted by the collator alone should any pair disagree, so the result is
// always exactly the collator's.
class CollatedTextOrder final : public TextOrder {
public:
    // The user's locale unless another is named.
    explicit CollatedTextOrder(const QLocale& locale = QLocale());

    int Compare(const ReminderRecord& a, const ReminderRecord& b) const override;
    std::vector<int> StableOrder(std::span<const ReminderRecord* const> records) override;

    // How the last StableOrder went, for tests and benchmarks: pairs settled by the collator
    // during the sort, and whether the check found the quick order wanting.
    std::size_t CollatorCalls() const { return collatorCalls_; }
    bool FellBack() const { return fellBack_; }

    // No rank: the byte's collation is not one primary weight, or it was not studied.
    static constexpr std::uint8_t kNoRank = 0;

private:
    struct Keys;
    struct Entry;

    void LearnRanks();
    std::vector<Entry> Rank(Keys& keys) const;
    QString Text(std::string_view cp1251) const;
    int CollateAt(Keys& keys, int a, int b);
    bool Less(Keys& keys, const Entry& a, const Entry& b);
    bool RanksLess(Keys& keys, int a, int b);
    bool Checked(Keys& keys, const std::vector<int>& order);

    QCollator collator_;
    std::array<std::uint8_t, 256> rank_{};
    std::array<char16_t, 256> utf16_{};
    std::size_t collatorCalls_ = 0;
    bool fellBack_ = false;
};

} // namespace tovrin
