#include "sorting/text_collator.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>

#include <unicode/ucol.h>

#include "base/display_text.h"
#include "sorting/flat_key_ranking.h"
#include "sorting/radix_sort.h"

namespace {

// Hyphens and apostrophes, ASCII and their typographic forms.
bool IsNearlyIgnored(char16_t u) {
    return u == u'-' || u == u'\'' || u == u'\u2010' || u == u'\u2011' || u == u'\u2019';
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

bool IsDigitOrHyphen(char c) {
    return (c >= '0' && c <= '9') || c == '-';
}

} // namespace

bool CTextCollator::StripNearlyIgnored(const QString& text, QString& out) {
    const char16_t* p = reinterpret_cast<const char16_t*>(text.constData());
    const qsizetype size = text.size();
    qsizetype first = 0;
    while (first < size && !IsNearlyIgnored(p[first]))
        ++first;
    if (first == size)
        return false;
    out.resize(size);
    char16_t* q = reinterpret_cast<char16_t*>(out.data());
    std::copy(p, p + first, q);
    qsizetype n = first;
    for (qsizetype i = first + 1; i < size; ++i)
        if (!IsNearlyIgnored(p[i]))
            q[n++] = p[i];
    out.resize(n);
    return true;
}

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

CTextCollator::CTextCollator(const QLocale& locale)
    : m_collator(MakeQCollator(CollationLocale(locale))),
      m_pFlat(std::make_unique<CFlatKeyMaker>(CollationLocale(locale))) {
    if (UCollator* probe = m_pFlat->Open())
        ucol_close(probe);
    else
        m_pFlat.reset();
    m_bDigitsByBytes = OrdersDigitsAndHyphensByBytes();
}

CTextCollator::CTextCollator(const CTextCollator& other)
    : m_collator(other.m_collator),
      m_pFlat(other.m_pFlat ? std::make_unique<CFlatKeyMaker>(*other.m_pFlat) : nullptr),
      m_bDigitsByBytes(other.m_bDigitsByBytes) {}

CTextCollator::~CTextCollator() = default;

QLocale CTextCollator::Locale() const {
    return m_collator.locale();
}

QString CTextCollator::Decode(std::string_view bytes) {
    return DecodeForDisplay(bytes);
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
    const bool bRemovedA = StripNearlyIgnored(a, strippedA);
    const bool bRemovedB = StripNearlyIgnored(b, strippedB);
    const int r = step(bRemovedA ? strippedA : a, bRemovedB ? strippedB : b);
    if (r != 0 || (!bRemovedA && !bRemovedB))
        return r;
    return step(a, b);
}

int CTextCollator::Compare(std::string_view a, std::string_view b) const {
    return CompareDecoded(Decode(a), Decode(b));
}

bool CTextCollator::IsDigitsAndHyphens(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsDigitOrHyphen);
}

int CTextCollator::CompareDigitsAndHyphens(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    for (;;) {
        while (i < a.size() && a[i] == '-')
            ++i;
        while (j < b.size() && b[j] == '-')
            ++j;
        if (i == a.size() || j == b.size())
            break;
        if (a[i] != b[j])
            return a[i] < b[j] ? -1 : 1;
        ++i;
        ++j;
    }
    if (i != a.size() || j != b.size())
        return i == a.size() ? -1 : 1;
    return Sign(a.compare(b));
}

bool CTextCollator::OrdersDigitsAndHyphensByBytes() const {
    // Texts of these characters compare character by character with no secondary or case differences,
    // so the order of the single characters and of a few texts mixing them settles every case.
    static constexpr const char* kProbes[] = {"",    "-",  "--",  "0",   "-0", "0-",  "1",  "-1",
                                              "2",   "3",  "4",   "5",   "6",  "7",   "8",  "9",
                                              "1-2", "12", "-12", "1-3", "10", "-10", "9-", "09"};
    for (const char* a : kProbes) {
        for (const char* b : kProbes) {
            if (Compare(a, b) != CompareDigitsAndHyphens(a, b))
                return false;
        }
    }
    return true;
}

bool CTextCollator::FillKey(const QCollator& collator, std::string_view text, CKey& key, QString& decoded,
                            QString& stripped) {
    DecodeInto(text, decoded);
    const bool bRemoved = StripNearlyIgnored(decoded, stripped);
    const QString& primary = bRemoved ? stripped : decoded;
    key.m_stripped.reset();
    key.m_full.reset();
    if (!primary.isEmpty())
        key.m_stripped.emplace(collator, primary);
    if (bRemoved)
        key.m_full.emplace(collator, decoded);
    return bRemoved;
}

CTextCollator::CKey CTextCollator::MakeKey(std::string_view text) const {
    CKey key;
    QString decoded;
    QString stripped;
    FillKey(m_collator, text, key, decoded, stripped);
    return key;
}

std::vector<std::uint32_t>
CTextCollator::MakeRanks(std::uint32_t nCount,
                         const std::function<std::string_view(std::uint32_t)>& textAt) const {
    // The texts are fetched here, on the calling thread, so the accessor need not be thread-safe.
    UninitVector<std::string_view> texts(nCount);
    bool bDigits = m_bDigitsByBytes;
    for (std::uint32_t i = 0; i < nCount; ++i) {
        texts[i] = textAt(i);
        if (bDigits)
            bDigits = IsDigitsAndHyphens(texts[i]);
    }
    if (!m_pFlat && !bDigits) {
        // Without flat keys: the keys QCollator makes, sorted directly.
        std::vector<CKey> keys(nCount);
        for (std::uint32_t i = 0; i < nCount; ++i)
            keys[i] = MakeKey(texts[i]);
        std::vector<std::uint32_t> order(nCount);
        for (std::uint32_t i = 0; i < nCount; ++i)
            order[i] = i;
        std::sort(order.begin(), order.end(),
                  [&keys](std::uint32_t a, std::uint32_t b) { return keys[a].Compare(keys[b]) < 0; });
        std::vector<std::uint32_t> ranks(nCount);
        std::uint32_t rank = 0;
        for (std::size_t k = 0; k < nCount; ++k) {
            if (k > 0 && keys[order[k - 1]].Compare(keys[order[k]]) != 0)
                ++rank;
            ranks[order[k]] = rank;
        }
        return ranks;
    }

    return FlatKeyRanks(texts, bDigits, m_pFlat.get());
}
