#include "sorting/flat_key_ranking.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <thread>
#include <utility>

#include "base/display_text.h"
#include "base/parallel_parts.h"
#include "sorting/radix_sort.h"
#include "sorting/text_collator.h"

namespace {

// Threads for n items: one below a size where starting threads is worth it, else one per core, at most 4.
unsigned PartsFor(std::size_t n) {
    if (n < 50000)
        return 1;
    return std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
}

// [first, last) of part p when n items are split into nParts.
std::pair<std::size_t, std::size_t> PartRange(std::size_t n, unsigned nParts, unsigned part) {
    return {n * part / nParts, n * (part + 1) / nParts};
}

// A flat key: bytes compared as unsigned, a shorter key first when it is a prefix of the other.
struct FlatKey {
    const std::uint8_t* bytes = nullptr;
    std::uint32_t size = 0;

    int Compare(const FlatKey& other) const {
        const std::uint32_t common = std::min(size, other.size);
        const int r = common ? std::memcmp(bytes, other.bytes, common) : 0;
        if (r != 0)
            return (r > 0) - (r < 0);
        return (size > other.size) - (size < other.size);
    }
};

// Bytes 8 * word to 8 * word + 7 of a key as a number that orders like them, zeros after the key's end.
// Neither kind of key holds a zero byte, so keys whose first 16 bytes are equal, one of them at most 16
// bytes long, differ only in length.
std::uint64_t PrefixWord(const FlatKey& key, std::uint32_t word) {
    std::uint64_t prefix = 0;
    for (std::uint32_t k = 8 * word; k < 8 * word + 8; ++k)
        prefix = (prefix << 8) | (k < key.size ? key.bytes[k] : 0u);
    return prefix;
}

// The keys of all entries: each part's run of entries has its keys laid end to end in a buffer of its
// own, and ends[i] is where entry i's key ends in its part's buffer. An entry's key is found from those
// two alone, which keeps the memory of a sort of millions of keys to the keys and four bytes an entry.
class CKeyStore {
public:
    CKeyStore(std::size_t nCount, unsigned nParts) : m_buffers(nParts), m_firsts(nParts + 1), m_ends(nCount) {
        for (unsigned part = 0; part < nParts; ++part)
            m_firsts[part] = PartRange(nCount, nParts, part).first;
        m_firsts[nParts] = nCount;
    }

    UninitVector<std::uint8_t>& Buffer(unsigned part) { return m_buffers[part]; }
    // Closes entry i's key at the end of its part's buffer, as it stands now.
    void EndKey(std::size_t i, unsigned part) {
        m_ends[i] = static_cast<std::uint32_t>(m_buffers[part].size());
    }

    FlatKey Key(std::size_t i) const {
        unsigned part = 0;
        while (m_firsts[part + 1] <= i)
            ++part;
        const std::uint32_t begin = i == m_firsts[part] ? 0 : m_ends[i - 1];
        return FlatKey{m_buffers[part].data() + begin, m_ends[i] - begin};
    }

private:
    std::vector<UninitVector<std::uint8_t>> m_buffers;
    std::vector<std::size_t> m_firsts; // the first entry of each part, then the count
    UninitVector<std::uint32_t> m_ends;
};

constexpr std::uint32_t kPrefixBytes = 16;

struct SortItem {
    std::uint64_t prefix[2];
    std::uint32_t entry;
};

// Orders sort items by their keys: the prefixes first, the rest of the keys only when those tie.
struct SortItemBefore {
    const CKeyStore& keys;

    bool operator()(const SortItem& a, const SortItem& b) const {
        if (a.prefix[0] != b.prefix[0])
            return a.prefix[0] < b.prefix[0];
        if (a.prefix[1] != b.prefix[1])
            return a.prefix[1] < b.prefix[1];
        const FlatKey x = keys.Key(a.entry);
        const FlatKey y = keys.Key(b.entry);
        if (x.size <= kPrefixBytes || y.size <= kPrefixBytes)
            return x.size < y.size;
        return x.Compare(y) < 0;
    }

    bool Same(const SortItem& a, const SortItem& b) const {
        return a.prefix[0] == b.prefix[0] && a.prefix[1] == b.prefix[1] &&
               keys.Key(a.entry).Compare(keys.Key(b.entry)) == 0;
    }
};

// Ranks of texts of digits and hyphens by CompareDigitsAndHyphens, when no text has more than 16 digits:
// the digits of each text, four bits each (digit + 1, zero after the last), make a number that orders as
// the texts without hyphens do; a radix sort by it, then the whole texts where those numbers tie. False
// when some text has more digits.
bool RanksOfDigitTexts(std::span<const std::string_view> texts, std::vector<std::uint32_t>& ranks) {
    struct Item {
        std::uint64_t key;
        std::uint32_t entry;
    };
    std::vector<Item> items(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::uint64_t key = 0;
        if (!CTextCollator::DigitsKey(texts[i], key))
            return false;
        items[i] = Item{key, static_cast<std::uint32_t>(i)};
    }
    RadixSortByKey(items);
    ranks.assign(texts.size(), 0);
    std::uint32_t rank = 0;
    for (std::size_t first = 0; first < items.size();) {
        std::size_t last = first + 1;
        while (last < items.size() && items[last].key == items[first].key)
            ++last;
        // The same digits: the texts differ only where their hyphens stand.
        std::sort(items.begin() + static_cast<std::ptrdiff_t>(first),
                  items.begin() + static_cast<std::ptrdiff_t>(last),
                  [&texts](const Item& a, const Item& b) { return texts[a.entry] < texts[b.entry]; });
        for (std::size_t k = first; k < last; ++k) {
            if (k > 0 && (k == first || texts[items[k - 1].entry] != texts[items[k].entry]))
                ++rank;
            ranks[items[k].entry] = rank;
        }
        first = last;
    }
    return true;
}

} // namespace

std::vector<std::uint32_t> FlatKeyRanks(std::span<const std::string_view> texts, bool bDigits,
                                        const CFlatKeyMaker* pMaker) {
    const auto nCount = static_cast<std::uint32_t>(texts.size());
    if (bDigits) {
        std::vector<std::uint32_t> ranks;
        if (RanksOfDigitTexts(texts, ranks))
            return ranks;
    }

    // Each part makes the keys of its run of texts into a buffer of its own; ICU collators are not to be
    // used by two threads at once, so each part opens its own with the same settings. For texts of
    // digits and hyphens the key is the text without hyphens, a byte 01 that sorts before every
    // character, then the whole text: the two steps of Compare in one key. Otherwise the key is the
    // collation key of the text without hyphens and apostrophes; the whole texts matter only where
    // those tie, and are handled below. The large arrays here are mapped on their own, so that each goes
    // back to the system as soon as it is freed and the sorts that follow do not pile up on top of it.
    const unsigned nParts = PartsFor(nCount);
    CKeyStore keys(nCount, nParts);
    UninitVector<std::uint8_t> bStripped(nCount);
    UninitVector<SortItem> items(nCount);
    RunParts(nParts, [&](unsigned part) {
        const auto [first, last] = PartRange(nCount, nParts, part);
        UninitVector<std::uint8_t>& buffer = keys.Buffer(part);
        buffer.reserve((last - first) * 48);
        UCollator* collator = bDigits ? nullptr : pMaker->Open();
        QString decoded;
        QString stripped;
        for (std::size_t i = first; i < last; ++i) {
            const std::string_view text = texts[i];
            bStripped[i] = 0;
            if (bDigits) {
                for (char c : text)
                    if (c != '-')
                        buffer.push_back(static_cast<std::uint8_t>(c));
                buffer.push_back(1);
                buffer.insert(buffer.end(), text.begin(), text.end());
            } else if (collator) {
                DecodeInto(text, decoded);
                const bool bRemoved = CTextCollator::StripNearlyIgnored(decoded, stripped);
                bStripped[i] = bRemoved ? 1 : 0;
                CFlatKeyMaker::Append(collator, bRemoved ? stripped : decoded, buffer);
            }
            keys.EndKey(i, part);
        }
        if (collator)
            ucol_close(collator);
        // The buffer is complete: its keys can be read.
        for (std::size_t i = first; i < last; ++i) {
            const FlatKey key = keys.Key(i);
            items[i] = SortItem{{PrefixWord(key, 0), PrefixWord(key, 1)}, static_cast<std::uint32_t>(i)};
        }
        std::sort(items.begin() + static_cast<std::ptrdiff_t>(first),
                  items.begin() + static_cast<std::ptrdiff_t>(last), SortItemBefore{keys});
    });

    // The parts' sorted runs merged straight into the order of the entries, each marked where a new
    // group of equal keys begins: the smallest of the runs' heads is taken each time.
    UninitVector<std::uint32_t> order(nCount);
    UninitVector<std::uint8_t> bNewGroup(nCount);
    {
        const SortItemBefore before{keys};
        std::vector<std::pair<std::size_t, std::size_t>> heads(nParts);
        for (unsigned part = 0; part < nParts; ++part)
            heads[part] = PartRange(nCount, nParts, part);
        const SortItem* pPrevious = nullptr;
        for (std::size_t k = 0; k < nCount; ++k) {
            unsigned best = nParts;
            for (unsigned part = 0; part < nParts; ++part) {
                const auto [at, end] = heads[part];
                if (at < end && (best == nParts || before(items[at], items[heads[best].first])))
                    best = part;
            }
            const SortItem& item = items[heads[best].first++];
            order[k] = item.entry;
            bNewGroup[k] = !pPrevious || !before.Same(*pPrevious, item);
            pPrevious = &item;
        }
    }
    items = {};
    // Split each group of equal stripped texts that holds a stripped one by the whole texts: those get the
    // keys of their whole texts now, the others' keys stand for their whole texts already.
    if (!bDigits) {
        UCollator* collator = nullptr;
        std::vector<std::uint8_t> fullBytes;
        QString decoded;
        for (std::size_t first = 0; first < nCount;) {
            std::size_t last = first + 1;
            bool bAnyStripped = bStripped[order[first]] != 0;
            for (; last < nCount && !bNewGroup[last]; ++last)
                bAnyStripped |= bStripped[order[last]] != 0;
            if (bAnyStripped && last - first > 1) {
                if (!collator)
                    collator = pMaker->Open();
                std::vector<std::pair<std::size_t, std::size_t>> spans(last - first);
                fullBytes.clear();
                for (std::size_t k = first; k < last; ++k) {
                    const std::size_t begin = fullBytes.size();
                    if (bStripped[order[k]]) {
                        DecodeInto(texts[order[k]], decoded);
                        CFlatKeyMaker::Append(collator, decoded, fullBytes);
                    } else {
                        const FlatKey key = keys.Key(order[k]);
                        fullBytes.insert(fullBytes.end(), key.bytes, key.bytes + key.size);
                    }
                    spans[k - first] = {begin, fullBytes.size() - begin};
                }
                std::vector<std::pair<FlatKey, std::uint32_t>> group(last - first);
                for (std::size_t k = first; k < last; ++k) {
                    const auto [begin, size] = spans[k - first];
                    group[k - first] = {FlatKey{fullBytes.data() + begin, static_cast<std::uint32_t>(size)},
                                        order[k]};
                }
                std::sort(group.begin(), group.end(),
                          [](const auto& a, const auto& b) { return a.first.Compare(b.first) < 0; });
                for (std::size_t k = first; k < last; ++k) {
                    order[k] = group[k - first].second;
                    if (k > first)
                        bNewGroup[k] = group[k - first - 1].first.Compare(group[k - first].first) != 0;
                }
            }
            first = last;
        }
        if (collator)
            ucol_close(collator);
    }

    std::vector<std::uint32_t> ranks(nCount);
    std::uint32_t nGroups = 0;
    for (std::size_t k = 0; k < nCount; ++k) {
        nGroups += bNewGroup[k];
        ranks[order[k]] = nGroups - 1;
    }
    return ranks;
}
