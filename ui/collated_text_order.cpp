#include "ui/collated_text_order.h"

#include "platform/text.h"

#include <algorithm>
#include <bit>
#include <numeric>
#include <system_error>
#include <thread>

namespace tovrin {
namespace {

// Bytes whose collation is, in the locales the program meets, one primary weight each: blank,
// digits, Latin and Cyrillic letters and the signs of ordinary sentences. Whatever the locale
// makes of them, the check after the sort keeps the order right.
bool Studied(int byte) {
    if (byte == ' ' || (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') ||
        (byte >= 'a' && byte <= 'z') || byte >= 0xC0) {
        return true;
    }
    constexpr std::string_view kSigns = ".,:;!?-'\"()/";
    constexpr std::string_view kCyrillic = "\x80\x81\x83\x8A\x8C\x8D\x8E\x8F\x90\x9A\x9C\x9D\x9E"
                                           "\x9F\xA1\xA2\xA3\xA5\xA8\xAA\xAF\xB2\xB3\xB4\xB8\xBA"
                                           "\xBC\xBD\xBE\xBF";
    const char c = static_cast<char>(byte);
    return kSigns.find(c) != std::string_view::npos || kCyrillic.find(c) != std::string_view::npos;
}

// The codes of a text's bytes in a key: a byte without a rank, the text's end, or a rank (1 and
// up) raised by 1. Ranks stop at kMostRank, so a code never needs more than a byte; a locale's
// keys give each code as few bits as its ranks need.
constexpr std::uint8_t kUnranked = 0;
constexpr std::uint8_t kEnd = 1;
constexpr std::uint8_t kMostRank = 253;

// Rows are visited out of memory order, and each needs its record's place and then its text:
// both are asked for ahead of time, the place twice as far ahead as the text, so each is there
// when it is needed.
constexpr std::size_t kAhead = 8;

inline void Prefetch(const void* at) {
#if defined(__GNUC__)
    __builtin_prefetch(at);
#else
    (void)at;
#endif
}

// Before visiting rows[i] (through `rowAt`), asks for what rows i + kAhead and i + 2 kAhead need.
template <typename RowAt>
inline void PrefetchAhead(std::span<const ReminderRecord* const> records, std::size_t i,
                          std::size_t end, std::size_t at, RowAt rowAt) {
    if (i + 2 * kAhead < end) {
        Prefetch(&records[rowAt(i + 2 * kAhead)]);
    }
    if (i + kAhead < end) {
        Prefetch(records[rowAt(i + kAhead)]->text + std::min(at, kTextFieldSize - 1));
    }
}

// Runs both, the first on a thread of its own when asked to and one can be had.
template <typename First, typename Second>
void InParallel(bool parallel, First first, Second second) {
    std::thread helper;
    if (parallel) {
        try {
            helper = std::thread(first);
        } catch (const std::system_error&) {
            parallel = false;
        }
    }
    if (!parallel) {
        first();
    }
    second();
    if (helper.joinable()) {
        helper.join();
    }
}

// Lists this long are shared between two threads.
constexpr std::size_t kParallelRows = 20000;

} // namespace

// The collator as one thread asks it: each thread has its own collator, and counts its own
// questions.
struct CollatedTextOrder::Judge {
    const CollatedTextOrder& order;
    const QCollator& collator;
    std::size_t calls = 0;

    int Collate(const ReminderRecord& a, const ReminderRecord& b) {
        ++calls;
        return order.CompareWith(collator, a, b);
    }
};

// One sort: a 64-bit number per row, the next few codes of its text from `depth` on in the high
// bits (as few bits a code as the locale's ranks need) and the row in the low bits, so ordering the
// numbers orders rows by those codes and, among equals, by row, as a stable sort must. Rows whose
// numbers tie in every code go on to the next codes; 12 bytes a row in all, the answer included.
class CollatedTextOrder::Sorter {
public:
    Sorter(const CollatedTextOrder& order, std::span<const ReminderRecord* const> records)
        : order_(order), records_(records),
          rowBits_(std::max<int>(1, std::bit_width(records.size() - 1))),
          codeBits_(std::bit_width(static_cast<unsigned>(order.mostRank_) + 1)),
          codes_(static_cast<std::size_t>((64 - rowBits_) / codeBits_)),
          rowMask_((std::uint64_t{1} << rowBits_) - 1) {}

    // With a helper, a second thread builds half the keys and sorts the runs of one part of the
    // list while this one sorts the rest's.
    std::vector<int> Order(Judge& judge, Judge* helper) {
        const std::size_t n = records_.size();
        keys_.resize(n);
        InParallel(
            helper != nullptr, [&] { MakeKeys(0, n / 2); }, [&] { MakeKeys(n / 2, n); });
        std::sort(keys_.begin(), keys_.end());
        const std::size_t split = helper != nullptr ? Split() : n;
        if (split > 0 && split < n) {
            InParallel(
                true, [&] { SortRuns(0, split, 0, *helper); },
                [&] { SortRuns(split, n, 0, judge); });
        } else {
            SortRuns(0, n, 0, judge);
        }
        std::vector<int> order(n);
        for (std::size_t i = 0; i < n; ++i) {
            order[i] = static_cast<int>(keys_[i] & rowMask_);
        }
        return order;
    }

private:
    std::uint8_t CodeAt(std::size_t row, std::size_t at) const {
        if (at >= kTextFieldSize) {
            return kEnd;
        }
        const auto byte = static_cast<std::uint8_t>(records_[row]->text[at]);
        if (byte == 0) {
            return kEnd;
        }
        const std::uint8_t rank = order_.rank_[byte];
        return rank == kNoRank ? kUnranked : static_cast<std::uint8_t>(rank + 1);
    }

    std::uint64_t Key(std::size_t row, std::size_t depth) const {
        std::uint64_t codes = 0;
        for (std::size_t k = 0; k < codes_; ++k) {
            const std::uint8_t code = CodeAt(row, depth + k);
            codes = codes << codeBits_ | code;
            if (code <= kEnd) {
                // Nothing after an end or a byte without a rank is looked at.
                codes <<= codeBits_ * (codes_ - 1 - k);
                break;
            }
        }
        return codes << rowBits_ | row;
    }

    std::uint8_t Code(std::uint64_t key, std::size_t k) const {
        return static_cast<std::uint8_t>((key >> (rowBits_ + codeBits_ * (codes_ - 1 - k))) &
                                         ((1u << codeBits_) - 1));
    }
    // The first `count` codes of both keys are the same.
    bool SameStart(std::uint64_t a, std::uint64_t b, std::size_t count) const {
        return count == 0 || ((a ^ b) >> (rowBits_ + codeBits_ * (codes_ - count))) == 0;
    }
    std::size_t Row(std::uint64_t key) const { return static_cast<std::size_t>(key & rowMask_); }

    void MakeKeys(std::size_t begin, std::size_t end) {
        for (std::size_t row = begin; row < end; ++row) {
            PrefetchAhead(records_, row, end, 0, [](std::size_t i) { return i; });
            keys_[row] = Key(row, 0);
        }
    }

    // Where the sorted keys can be shared between two threads: near the middle, where the first
    // code changes, so no run of ties (nor any group a byte without a rank makes) spans it. None
    // when some text begins with such a byte: the collator then orders the whole list.
    std::size_t Split() const {
        const std::size_t n = keys_.size();
        if (n < 2 || Code(keys_[0], 0) == kUnranked) {
            return n;
        }
        auto differs = [&](std::size_t m) { return Code(keys_[m - 1], 0) != Code(keys_[m], 0); };
        for (std::size_t up = n / 2, down = n / 2; up < n || down > 0; ++up, --down) {
            if (up < n && up > 0 && differs(up)) {
                return up;
            }
            if (down > 0 && down < n && differs(down)) {
                return down;
            }
            if (down == 0) {
                ++down; // stays at 0 once there
            }
        }
        return n;
    }

    // Rows begin to end of keys_, which share every code before `depth`.
    void Sort(std::size_t begin, std::size_t end, std::size_t depth, Judge& judge) {
        std::sort(keys_.begin() + static_cast<std::ptrdiff_t>(begin),
                  keys_.begin() + static_cast<std::ptrdiff_t>(end));
        SortRuns(begin, end, depth, judge);
    }

    // Rows begin to end, sorted by their codes from `depth` on: each run of ties goes on.
    void SortRuns(std::size_t begin, std::size_t end, std::size_t depth, Judge& judge) {
        for (std::size_t i = begin; i < end;) {
            const std::uint64_t key = keys_[i];
            std::size_t special = 0;
            while (special < codes_ && Code(key, special) > kEnd) {
                ++special;
            }
            std::size_t next = i + 1;
            if (special < codes_ && Code(key, special) == kUnranked) {
                // Where a byte has no rank, the ranks cannot place the row among those that begin
                // alike. A byte without a rank has the lowest code, so such rows come first.
                std::size_t ranked = next;
                while (ranked < end && SameStart(keys_[ranked], key, special) &&
                       Code(keys_[ranked], special) == kUnranked) {
                    ++ranked;
                }
                next = ranked;
                while (next < end && SameStart(keys_[next], key, special)) {
                    ++next;
                }
                PlaceUnranked(i, ranked, next, depth, judge);
            } else {
                while (next < end && (keys_[next] >> rowBits_) == (key >> rowBits_)) {
                    ++next;
                }
                if (next - i > 1 && special < codes_) {
                    // The same ranks to the end: case or accents may still set them apart.
                    Settle(i, next, depth, judge);
                } else if (next - i > 1) {
                    Refill(i, next, depth + codes_);
                    Sort(i, next, depth + codes_, judge);
                }
            }
            i = next;
        }
    }

    // Rows begin to end share every code before some place; those before `ranked` have a byte
    // without a rank there, the rest do not. The rest are sorted by their ranks as ever, and each
    // of the others is put among them where the collator says, so a few such texts cost a few
    // searches, not a list sorted by the collator.
    void PlaceUnranked(std::size_t begin, std::size_t ranked, std::size_t end, std::size_t depth,
                       Judge& judge) {
        SortRuns(ranked, end, depth, judge);
        Settle(begin, ranked, depth, judge);
        const std::vector<std::uint64_t> unranked(
            keys_.begin() + static_cast<std::ptrdiff_t>(begin),
            keys_.begin() + static_cast<std::ptrdiff_t>(ranked));
        auto less = [&](std::uint64_t a, std::uint64_t b) {
            const int result = Compare(Row(a), Row(b), depth, judge);
            return result < 0 || (result == 0 && Row(a) < Row(b));
        };
        // Merged from the front: the place written never passes the next ranked row to read.
        std::size_t out = begin;
        std::size_t from = ranked;
        for (const std::uint64_t row : unranked) {
            const auto after =
                std::upper_bound(keys_.begin() + static_cast<std::ptrdiff_t>(from),
                                 keys_.begin() + static_cast<std::ptrdiff_t>(end), row, less);
            const auto stop = static_cast<std::size_t>(after - keys_.begin());
            while (from < stop) {
                keys_[out++] = keys_[from++];
            }
            keys_[out++] = row;
        }
    }

    void Refill(std::size_t begin, std::size_t end, std::size_t depth) {
        for (std::size_t i = begin; i < end; ++i) {
            PrefetchAhead(records_, i, end, depth, [&](std::size_t k) { return Row(keys_[k]); });
            keys_[i] = Key(Row(keys_[i]), depth);
        }
    }

    // <0, 0 or >0: the ranks from `depth` on where both texts have them, the collator where
    // they cannot tell.
    int Compare(std::size_t a, std::size_t b, std::size_t depth, Judge& judge) const {
        for (std::size_t at = depth;; ++at) {
            const std::uint8_t ca = CodeAt(a, at);
            const std::uint8_t cb = CodeAt(b, at);
            if (ca > kEnd && cb > kEnd) {
                if (ca != cb) {
                    return ca < cb ? -1 : 1;
                }
                continue;
            }
            // A text that ends where the other goes on with a letter is the shorter, as in the
            // keys.
            if (ca == kEnd && cb > kEnd) {
                return -1;
            }
            if (cb == kEnd && ca > kEnd) {
                return 1;
            }
            return judge.Collate(*records_[a], *records_[b]);
        }
    }

    // Orders rows begin to end, which share every code before `depth`, text by text.
    void Settle(std::size_t begin, std::size_t end, std::size_t depth, Judge& judge) {
        if (end - begin < 2) {
            return;
        }
        std::vector<std::size_t> rows;
        rows.reserve(end - begin);
        for (std::size_t i = begin; i < end; ++i) {
            rows.push_back(Row(keys_[i]));
        }
        // A merge sort, so even a locale that defeats the ranks cannot lead it astray; the check
        // after the sort catches the order it made.
        std::stable_sort(rows.begin(), rows.end(), [&](std::size_t a, std::size_t b) {
            const int result = Compare(a, b, depth, judge);
            return result < 0 || (result == 0 && a < b);
        });
        for (std::size_t i = begin; i < end; ++i) {
            keys_[i] = rows[i - begin];
        }
    }

    const CollatedTextOrder& order_;
    std::span<const ReminderRecord* const> records_;
    int rowBits_;
    int codeBits_;
    std::size_t codes_;
    std::uint64_t rowMask_;
    std::vector<std::uint64_t> keys_;
};

CollatedTextOrder::CollatedTextOrder(const QLocale& locale) : collator_(locale) {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
    for (int byte = 0; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        const QString one = FromCp1251(std::string_view(&c, 1));
        utf16_[static_cast<std::size_t>(byte)] = one.isEmpty() ? u'\0' : one.front().unicode();
    }
    LearnRanks();
}

QString CollatedTextOrder::Text(std::string_view cp1251) const {
    QString text(static_cast<qsizetype>(cp1251.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : cp1251) {
        *out++ = QChar(utf16_[static_cast<std::uint8_t>(c)]);
    }
    return text;
}

std::size_t CollatedTextOrder::Utf16(const ReminderRecord& record, char16_t* out) const {
    const std::string_view text = TextOf(record);
    for (std::size_t i = 0; i < text.size(); ++i) {
        out[i] = utf16_[static_cast<std::uint8_t>(text[i])];
    }
    return text.size();
}

void CollatedTextOrder::LearnRanks() {
    std::vector<int> bytes;
    std::vector<QString> alone(256);
    const QString a = QStringLiteral("a");
    for (int byte = 1; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        alone[static_cast<std::size_t>(byte)] = Text(std::string_view(&c, 1));
        // A byte the collator ignores would make two texts equal that the ranks tell apart.
        if (Studied(byte) && collator_.compare(alone[static_cast<std::size_t>(byte)] + a, a) != 0) {
            bytes.push_back(byte);
        }
    }
    std::stable_sort(bytes.begin(), bytes.end(), [&](int x, int y) {
        return collator_.compare(alone[static_cast<std::size_t>(x)],
                                 alone[static_cast<std::size_t>(y)]) < 0;
    });
    // Neighbours share a primary weight when a later letter after the first still loses to an
    // earlier one after the second: case and accents alone set them apart.
    const QString z = QStringLiteral("z");
    std::uint8_t rank = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const QString& here = alone[static_cast<std::size_t>(bytes[i])];
        const bool samePrimary =
            i > 0 &&
            collator_.compare(alone[static_cast<std::size_t>(bytes[i - 1])] + z, here + a) > 0;
        if (!samePrimary) {
            if (rank == kMostRank) {
                break; // more primary weights than codes: the rest go without a rank
            }
            ++rank;
        }
        rank_[static_cast<std::size_t>(bytes[i])] = rank;
    }
    mostRank_ = rank;
}

int CollatedTextOrder::CompareWith(const QCollator& collator, const ReminderRecord& a,
                                   const ReminderRecord& b) const {
    char16_t left[kTextFieldSize];
    char16_t right[kTextFieldSize];
    const auto na = static_cast<qsizetype>(Utf16(a, left));
    const auto nb = static_cast<qsizetype>(Utf16(b, right));
    const int result = collator.compare(QStringView(left, na), QStringView(right, nb));
    return (result > 0) - (result < 0);
}

int CollatedTextOrder::Compare(const ReminderRecord& a, const ReminderRecord& b) const {
    return CompareWith(collator_, a, b);
}

// The neighbouring pairs that end at places begin to end, each text made into the collator's
// characters once.
bool CollatedTextOrder::Checked(std::span<const ReminderRecord* const> records,
                                const std::vector<int>& order, std::size_t begin, std::size_t end,
                                Judge& judge) const {
    char16_t texts[2][kTextFieldSize];
    qsizetype lengths[2] = {0, 0};
    for (std::size_t i = begin > 0 ? begin - 1 : 0; i < end; ++i) {
        PrefetchAhead(records, i, end, 0,
                      [&](std::size_t k) { return static_cast<std::size_t>(order[k]); });
        const std::size_t here = i % 2;
        lengths[here] = static_cast<qsizetype>(
            Utf16(*records[static_cast<std::size_t>(order[i])], texts[here]));
        if (i + 1 == begin || i == 0) {
            continue;
        }
        ++judge.calls;
        const std::size_t before = 1 - here;
        const int result = judge.collator.compare(QStringView(texts[before], lengths[before]),
                                                  QStringView(texts[here], lengths[here]));
        if (result > 0 || (result == 0 && order[i - 1] > order[i])) {
            return false;
        }
    }
    return true;
}

std::vector<int> CollatedTextOrder::CollatorOnly(std::span<const ReminderRecord* const> records) {
    std::vector<QString> texts;
    texts.reserve(records.size());
    for (const ReminderRecord* record : records) {
        texts.push_back(Text(TextOf(*record)));
    }
    std::vector<int> order(records.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        ++collatorCalls_;
        return collator_.compare(texts[static_cast<std::size_t>(a)],
                                 texts[static_cast<std::size_t>(b)]) < 0;
    });
    return order;
}

std::vector<int> CollatedTextOrder::StableOrder(std::span<const ReminderRecord* const> records) {
    collatorCalls_ = 0;
    fellBack_ = false;
    if (records.empty()) {
        return {};
    }
    // A long list shares the work with a second thread, which asks a collator of its own.
    const bool parallel = records.size() >= kParallelRows;
    if (parallel && !helperCollator_) {
        helperCollator_.emplace(collator_.locale());
        helperCollator_->setCaseSensitivity(Qt::CaseInsensitive);
    }
    Judge judge{*this, collator_};
    Judge helper{*this, parallel ? *helperCollator_ : collator_};
    std::vector<int> order = Sorter(*this, records).Order(judge, parallel ? &helper : nullptr);
    const std::size_t half = order.size() / 2;
    bool firstHalf = true;
    bool secondHalf = true;
    InParallel(
        parallel, [&] { firstHalf = Checked(records, order, 0, half, helper); },
        [&] { secondHalf = Checked(records, order, half, order.size(), judge); });
    collatorCalls_ = judge.calls + helper.calls;
    if (firstHalf && secondHalf) {
        return order;
    }
    fellBack_ = true;
    return CollatorOnly(records);
}

} // namespace tovrin
