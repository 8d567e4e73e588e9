#include "ui/collated_text_order.h"

#include "platform/text.h"

#include <algorithm>
#include <bit>
#include <numeric>

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

constexpr std::size_t kPacked = 16; // ranks held in an entry itself

} // namespace

// Per sort: every text's ranks (in one pool) and, made only when the collator is asked, the text
// as the collator takes it.
struct CollatedTextOrder::Keys {
    std::vector<std::uint8_t> pool;
    std::vector<std::uint32_t> start;
    std::vector<std::uint8_t> ranked; // leading bytes that have a rank
    std::vector<std::uint8_t> length; // bytes of the text
    std::span<const ReminderRecord* const> records;
    std::vector<QString> texts;
    std::vector<bool> converted;
};

// What the sort moves: the first ranks packed big-endian, so comparing the numbers compares the
// ranks in order, and the record's index for the rest.
struct CollatedTextOrder::Entry {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    std::uint8_t ranked = 0;
    std::int32_t index = 0;
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
            ++rank;
        }
        rank_[static_cast<std::size_t>(bytes[i])] = rank;
    }
}

int CollatedTextOrder::Compare(const ReminderRecord& a, const ReminderRecord& b) const {
    const int result = collator_.compare(Text(TextOf(a)), Text(TextOf(b)));
    return (result > 0) - (result < 0);
}

int CollatedTextOrder::CollateAt(Keys& keys, int a, int b) {
    ++collatorCalls_;
    for (const int i : {a, b}) {
        const auto at = static_cast<std::size_t>(i);
        if (!keys.converted[at]) {
            keys.texts[at] = Text(TextOf(*keys.records[at]));
            keys.converted[at] = true;
        }
    }
    return collator_.compare(keys.texts[static_cast<std::size_t>(a)],
                             keys.texts[static_cast<std::size_t>(b)]);
}

// The whole ranks of two texts; the collator where they cannot tell.
bool CollatedTextOrder::RanksLess(Keys& keys, int a, int b) {
    const auto ia = static_cast<std::size_t>(a);
    const auto ib = static_cast<std::size_t>(b);
    const std::size_t na = keys.ranked[ia];
    const std::size_t nb = keys.ranked[ib];
    const std::uint8_t* ra = keys.pool.data() + keys.start[ia];
    const std::uint8_t* rb = keys.pool.data() + keys.start[ib];
    const std::size_t common = std::min(na, nb);
    const auto [pa, pb] = std::mismatch(ra, ra + common, rb);
    if (pa != ra + common) {
        return *pa < *pb;
    }
    // Both texts are ranks alone and one is the start of the other: the shorter sorts first.
    if (na == keys.length[ia] && nb == keys.length[ib] && na != nb) {
        return na < nb;
    }
    return CollateAt(keys, a, b) < 0;
}

bool CollatedTextOrder::Less(Keys& keys, const Entry& a, const Entry& b) {
    std::size_t differ = kPacked;
    if (a.high != b.high) {
        differ = static_cast<std::size_t>(std::countl_zero(a.high ^ b.high)) / 8;
    } else if (a.low != b.low) {
        differ = 8 + static_cast<std::size_t>(std::countl_zero(a.low ^ b.low)) / 8;
    }
    // A difference the packed ranks show is only theirs to settle while both texts still have
    // ranks there.
    if (differ < kPacked && differ < std::min<std::size_t>(a.ranked, b.ranked)) {
        return a.high != b.high ? a.high < b.high : a.low < b.low;
    }
    return RanksLess(keys, a.index, b.index);
}

bool CollatedTextOrder::Checked(Keys& keys, const std::vector<int>& order) {
    for (std::size_t i = 1; i < order.size(); ++i) {
        const int result = CollateAt(keys, order[i - 1], order[i]);
        if (result > 0 || (result == 0 && order[i - 1] > order[i])) {
            return false;
        }
    }
    return true;
}

// Each text's ranks into the pool, the first of them packed into its entry.
std::vector<CollatedTextOrder::Entry> CollatedTextOrder::Rank(Keys& keys) const {
    const std::size_t n = keys.records.size();
    keys.texts.resize(n);
    keys.converted.assign(n, false);
    keys.start.reserve(n);
    keys.ranked.reserve(n);
    keys.length.reserve(n);
    keys.pool.reserve(n * 32);
    std::vector<Entry> entries(n);
    for (std::size_t i = 0; i < n; ++i) {
        const std::string_view text = TextOf(*keys.records[i]);
        keys.start.push_back(static_cast<std::uint32_t>(keys.pool.size()));
        Entry& entry = entries[i];
        std::size_t ranked = 0;
        for (; ranked < text.size(); ++ranked) {
            const std::uint8_t rank = rank_[static_cast<std::uint8_t>(text[ranked])];
            if (rank == kNoRank) {
                break;
            }
            keys.pool.push_back(rank);
            if (ranked < 8) {
                entry.high |= std::uint64_t{rank} << (56 - 8 * ranked);
            } else if (ranked < kPacked) {
                entry.low |= std::uint64_t{rank} << (56 - 8 * (ranked - 8));
            }
        }
        entry.ranked = static_cast<std::uint8_t>(ranked);
        entry.index = static_cast<std::int32_t>(i);
        keys.ranked.push_back(static_cast<std::uint8_t>(ranked));
        keys.length.push_back(static_cast<std::uint8_t>(text.size()));
    }
    return entries;
}

std::vector<int> CollatedTextOrder::StableOrder(std::span<const ReminderRecord* const> records) {
    collatorCalls_ = 0;
    fellBack_ = false;
    Keys keys;
    keys.records = records;
    std::vector<Entry> entries = Rank(keys);
    // A merge sort, so even a locale that defeats the ranks cannot lead the sort astray; the
    // check below then catches the order it made.
    std::stable_sort(entries.begin(), entries.end(),
                     [&](const Entry& a, const Entry& b) { return Less(keys, a, b); });
    std::vector<int> order(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        order[i] = entries[i].index;
    }
    if (Checked(keys, order)) {
        return order;
    }
    fellBack_ = true;
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return CollateAt(keys, a, b) < 0; });
    return order;
}

} // namespace tovrin
