#include "table/text_collator.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <system_error>
#include <thread>
#include <utility>

namespace {

// Strict UTF-8 check: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t extra = 0;
        unsigned char lo = 0x80;
        unsigned char hi = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            if (c == 0xE0)
                lo = 0xA0;
            else if (c == 0xED)
                hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            if (c == 0xF0)
                lo = 0x90;
            else if (c == 0xF4)
                hi = 0x8F;
        } else {
            return false;
        }
        if (n - i <= extra)
            return false;
        if (p[i + 1] < lo || p[i + 1] > hi)
            return false;
        for (std::size_t k = 2; k <= extra; ++k)
            if (p[i + k] < 0x80 || p[i + k] > 0xBF)
                return false;
        i += extra + 1;
    }
    return true;
}

bool IsAscii(std::string_view bytes) {
    for (char ch : bytes)
        if (static_cast<unsigned char>(ch) >= 0x80)
            return false;
    return true;
}

// Hyphens and apostrophes, ASCII and their typographic forms.
bool IsNearlyIgnored(char16_t u) {
    return u == u'-' || u == u'\'' || u == u'\u2010' || u == u'\u2011' || u == u'\u2019';
}

// Decodes into a buffer that keeps its capacity from one text to the next.
void DecodeInto(std::string_view bytes, QString& out) {
    const auto size = static_cast<qsizetype>(bytes.size());
    if (!IsAscii(bytes) && IsValidUtf8(bytes)) {
        out = QString::fromUtf8(bytes.data(), size);
        return;
    }
    out.resize(size);
    char16_t* p = reinterpret_cast<char16_t*>(out.data());
    for (qsizetype i = 0; i < size; ++i)
        p[i] = static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
}

// Puts text without hyphens and apostrophes into out and returns true, or returns false (out untouched)
// when text has none.
bool StripInto(const QString& text, QString& out) {
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype size = text.size();
    qsizetype first = 0;
    while (first < size && !IsNearlyIgnored(p[first]))
        ++first;
    if (first == size)
        return false;
    out.resize(0);
    out.append(QStringView(p, first));
    for (qsizetype i = first + 1; i < size; ++i)
        if (!IsNearlyIgnored(p[i]))
            out.append(QChar(p[i]));
    return true;
}

int Sign(int v) {
    return (v > 0) - (v < 0);
}

bool UsesCodePointOrder(const QLocale& locale) {
    return locale.language() == QLocale::C;
}

QLocale CollationLocale(const QLocale& locale) {
    return UsesCodePointOrder(locale) ? QLocale(QLocale::English, QLocale::UnitedStates) : locale;
}

// Case-sensitive (lower case first), digits as characters, punctuation counted.
QCollator MakeQCollator(const QLocale& locale) {
    QCollator collator(locale);
    collator.setCaseSensitivity(Qt::CaseSensitive);
    collator.setNumericMode(false);
    collator.setIgnorePunctuation(false);
    return collator;
}

// Runs body(part) for part = 0 to nParts - 1, each on its own thread (part 0 on the calling one), and
// returns when all are done. A part whose thread cannot be started runs on the calling thread.
template <class Body> void RunParts(unsigned nParts, const Body& body) {
    std::vector<std::thread> threads;
    unsigned nInline = 0;
    for (unsigned part = 1; part < nParts; ++part) {
        try {
            threads.emplace_back(body, part);
        } catch (const std::system_error&) {
            nInline = nParts - part;
            break;
        }
    }
    body(0u);
    for (unsigned part = nParts - nInline; part < nParts; ++part)
        body(part);
    for (std::thread& thread : threads)
        thread.join();
}

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

// Positions sorted by their keys, and for each place in that order whether a new group of equal keys
// starts there.
struct KeyGroups {
    std::vector<std::uint32_t> order;
    std::vector<std::uint8_t> bNewGroup;
};

// Groups keys by a sample sort. Sorting a million keys directly compares keys scattered over a
// hundred megabytes, one cache miss after another. Instead, a sorted sample of splitter keys (small
// enough to stay in cache) assigns every key, visited in memory order, to the bucket between two
// splitters or to the bucket of keys equal to a splitter; each bucket is then sorted on its own, within
// cache. Heavily repeated texts fall into the equal buckets, which need no sorting at all. Both passes
// split into independent parts that run in parallel; keys are only read.
KeyGroups GroupKeys(const std::vector<CTextCollator::CKey>& keys, unsigned nParts) {
    const std::size_t n = keys.size();
    KeyGroups groups;
    if (n == 0)
        return groups;
    const auto before = [&keys](std::uint32_t a, std::uint32_t b) { return keys[a].Compare(keys[b]) < 0; };
    const auto same = [&keys](std::uint32_t a, std::uint32_t b) { return keys[a].Compare(keys[b]) == 0; };

    const std::size_t nSample = std::clamp<std::size_t>(n / 1024, 1, 1024);
    std::vector<std::uint32_t> splitters(nSample);
    for (std::size_t s = 0; s < nSample; ++s)
        splitters[s] = static_cast<std::uint32_t>(s * n / nSample + n / (2 * nSample));
    std::sort(splitters.begin(), splitters.end(), before);
    splitters.erase(std::unique(splitters.begin(), splitters.end(), same), splitters.end());

    // Bucket 2b holds keys between splitters b - 1 and b, bucket 2b + 1 keys equal to splitter b.
    const std::size_t nBuckets = 2 * splitters.size() + 1;
    std::vector<std::uint32_t> bucketOf(n);
    std::vector<std::vector<std::size_t>> partCounts(nParts, std::vector<std::size_t>(nBuckets, 0));
    RunParts(nParts, [&](unsigned part) {
        const auto [first, last] = PartRange(n, nParts, part);
        std::vector<std::size_t>& counts = partCounts[part];
        for (std::size_t i = first; i < last; ++i) {
            const auto key = static_cast<std::uint32_t>(i);
            const auto it = std::lower_bound(splitters.begin(), splitters.end(), key, before);
            const auto b = static_cast<std::uint32_t>(it - splitters.begin());
            bucketOf[i] = 2 * b + (it != splitters.end() && same(*it, key) ? 1 : 0);
            ++counts[bucketOf[i]];
        }
    });

    std::vector<std::size_t> bucketStart(nBuckets + 1, 0);
    for (const std::vector<std::size_t>& counts : partCounts)
        for (std::size_t b = 0; b < nBuckets; ++b)
            bucketStart[b + 1] += counts[b];
    for (std::size_t b = 1; b <= nBuckets; ++b)
        bucketStart[b] += bucketStart[b - 1];
    std::vector<std::uint32_t>& order = groups.order;
    order.resize(n);
    {
        std::vector<std::size_t> next(bucketStart.begin(), bucketStart.end() - 1);
        for (std::size_t i = 0; i < n; ++i)
            order[next[bucketOf[i]]++] = static_cast<std::uint32_t>(i);
    }

    // Each part sorts whole buckets, about n / nParts keys in all, and marks where a new group begins.
    std::vector<std::size_t> firstBucket(nParts + 1, nBuckets);
    firstBucket[0] = 0;
    for (unsigned part = 1, b = 0; part < nParts; ++part) {
        while (b < nBuckets && bucketStart[b] < n * part / nParts)
            ++b;
        firstBucket[part] = b;
    }
    std::vector<std::uint8_t>& bNewGroup = groups.bNewGroup;
    bNewGroup.assign(n, 0);
    RunParts(nParts, [&](unsigned part) {
        for (std::size_t b = firstBucket[part]; b < firstBucket[part + 1]; ++b) {
            const std::size_t first = bucketStart[b];
            const std::size_t last = bucketStart[b + 1];
            if (first == last)
                continue;
            bNewGroup[first] = 1;
            if (b % 2 == 1)
                continue;
            std::sort(order.begin() + static_cast<std::ptrdiff_t>(first),
                      order.begin() + static_cast<std::ptrdiff_t>(last), before);
            for (std::size_t k = first + 1; k < last; ++k)
                bNewGroup[k] = same(order[k - 1], order[k]) ? 0 : 1;
        }
    });
    return groups;
}

} // namespace

int CTextCollator::CKey::CompareLevel(const std::optional<CLevel>& a, const std::optional<CLevel>& b) {
    if (!a)
        return b ? -1 : 0;
    if (!b)
        return 1;
    return Sign(a->key.compare(b->key));
}

int CTextCollator::CKey::Compare(const CKey& other) const {
    const int r = CompareLevel(m_stripped, other.m_stripped);
    if (r != 0 || (!m_full && !other.m_full))
        return r;
    return CompareLevel(m_full ? m_full : m_stripped, other.m_full ? other.m_full : other.m_stripped);
}

CTextCollator::CTextCollator() : CTextCollator(QLocale()) {}

CTextCollator::CTextCollator(const QLocale& locale) : m_collator(MakeQCollator(CollationLocale(locale))) {}

QLocale CTextCollator::Locale() const {
    return m_collator.locale();
}

QString CTextCollator::Decode(std::string_view bytes) {
    QString text;
    DecodeInto(bytes, text);
    return text;
}

int CTextCollator::CompareDecoded(const QString& a, const QString& b) const {
    // Empty texts are ordered here rather than left to QCollator, so that keys (which have no such rule
    // of their own) give exactly the same order.
    auto step = [this](const QString& x, const QString& y) {
        if (x.isEmpty())
            return y.isEmpty() ? 0 : -1;
        if (y.isEmpty())
            return 1;
        return Sign(m_collator.compare(x, y));
    };
    QString strippedA;
    QString strippedB;
    const bool bRemovedA = StripInto(a, strippedA);
    const bool bRemovedB = StripInto(b, strippedB);
    const int r = step(bRemovedA ? strippedA : a, bRemovedB ? strippedB : b);
    if (r != 0 || (!bRemovedA && !bRemovedB))
        return r;
    return step(a, b);
}

int CTextCollator::Compare(std::string_view a, std::string_view b) const {
    return CompareDecoded(Decode(a), Decode(b));
}

bool CTextCollator::FillKey(const QCollator& collator, std::string_view text, bool bWithFull, CKey& key,
                            QString& decoded, QString& stripped) {
    DecodeInto(text, decoded);
    const bool bRemoved = StripInto(decoded, stripped);
    const QString& primary = bRemoved ? stripped : decoded;
    key.m_stripped.reset();
    key.m_full.reset();
    if (!primary.isEmpty())
        key.m_stripped.emplace(collator, primary);
    if (bRemoved && bWithFull)
        key.m_full.emplace(collator, decoded);
    return bRemoved;
}

CTextCollator::CKey CTextCollator::MakeKey(std::string_view text) const {
    CKey key;
    QString decoded;
    QString stripped;
    FillKey(m_collator, text, true, key, decoded, stripped);
    return key;
}

std::vector<std::uint32_t>
CTextCollator::MakeRanks(std::uint32_t nCount,
                         const std::function<std::string_view(std::uint32_t)>& textAt) const {
    // The texts are fetched here, on the calling thread, so the accessor need not be thread-safe.
    std::vector<std::string_view> texts(nCount);
    for (std::uint32_t i = 0; i < nCount; ++i)
        texts[i] = textAt(i);

    // Making keys is the largest cost; the parts share nothing but the texts they read. ICU collators
    // are not to be used by two threads at once, so every other part makes keys with its own collator
    // of the same locale and settings, which gives the same keys. Only the keys without hyphens and
    // apostrophes are made here; the full texts matter only where those tie.
    const unsigned nParts = PartsFor(nCount);
    std::vector<CKey> keys(nCount);
    std::vector<std::uint8_t> bStripped(nCount, 0);
    const QLocale locale = m_collator.locale();
    RunParts(nParts, [&](unsigned part) {
        std::optional<QCollator> own;
        if (part != 0)
            own.emplace(MakeQCollator(locale));
        const QCollator& collator = own ? *own : m_collator;
        QString decoded;
        QString stripped;
        const auto [first, last] = PartRange(nCount, nParts, part);
        for (std::size_t i = first; i < last; ++i)
            bStripped[i] = FillKey(collator, texts[i], false, keys[i], decoded, stripped) ? 1 : 0;
    });
    KeyGroups groups = GroupKeys(keys, nParts);
    std::vector<std::uint32_t>& order = groups.order;
    std::vector<std::uint8_t>& bNewGroup = groups.bNewGroup;

    // Split each group of equal stripped texts that holds a stripped one by the full texts: they get
    // their full keys now, and the others' stripped keys stand for their full ones.
    QString decoded;
    for (std::size_t first = 0; first < nCount;) {
        std::size_t last = first + 1;
        bool bAnyStripped = bStripped[order[first]] != 0;
        for (; last < nCount && !bNewGroup[last]; ++last)
            bAnyStripped |= bStripped[order[last]] != 0;
        if (bAnyStripped && last - first > 1) {
            for (std::size_t k = first; k < last; ++k) {
                const std::uint32_t i = order[k];
                if (bStripped[i]) {
                    DecodeInto(texts[i], decoded);
                    keys[i].m_full.emplace(m_collator, decoded);
                }
            }
            const auto begin = order.begin() + static_cast<std::ptrdiff_t>(first);
            const auto end = order.begin() + static_cast<std::ptrdiff_t>(last);
            std::sort(begin, end,
                      [&keys](std::uint32_t a, std::uint32_t b) { return keys[a].Compare(keys[b]) < 0; });
            for (std::size_t k = first + 1; k < last; ++k)
                bNewGroup[k] = keys[order[k - 1]].Compare(keys[order[k]]) == 0 ? 0 : 1;
        }
        first = last;
    }

    std::vector<std::uint32_t> ranks(nCount);
    std::uint32_t nGroups = 0;
    for (std::size_t k = 0; k < nCount; ++k) {
        nGroups += bNewGroup[k];
        ranks[order[k]] = nGroups - 1;
    }
    return ranks;
}
