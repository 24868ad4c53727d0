#include "table/text_collator.h"

#include <cstddef>
#include <cstdint>

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
bool IsNearlyIgnored(QChar ch) {
    const char16_t u = ch.unicode();
    return u == u'-' || u == u'\'' || u == u'\u2010' || u == u'\u2011' || u == u'\u2019';
}

// The text without hyphens and apostrophes; *pbRemoved tells whether anything was taken out.
QString StripNearlyIgnored(const QString& text, bool* pbRemoved) {
    qsizetype first = 0;
    while (first < text.size() && !IsNearlyIgnored(text[first]))
        ++first;
    if (first == text.size()) {
        *pbRemoved = false;
        return text;
    }
    *pbRemoved = true;
    QString stripped;
    stripped.reserve(text.size() - 1);
    stripped.append(QStringView(text).left(first));
    for (qsizetype i = first + 1; i < text.size(); ++i)
        if (!IsNearlyIgnored(text[i]))
            stripped.append(text[i]);
    return stripped;
}

int Sign(int v) { return (v > 0) - (v < 0); }

// One step of the comparison on keys, with the empty text (no key) first.
int CompareKeyStep(const std::optional<QCollatorSortKey>& a, const std::optional<QCollatorSortKey>& b) {
    if (!a)
        return b ? -1 : 0;
    if (!b)
        return 1;
    return Sign(a->compare(*b));
}

bool UsesCodePointOrder(const QLocale& locale) { return locale.language() == QLocale::C; }

QLocale CollationLocale(const QLocale& locale) {
    return UsesCodePointOrder(locale) ? QLocale(QLocale::English, QLocale::UnitedStates) : locale;
}

} // namespace

int CTextCollator::CKey::Compare(const CKey& other) const {
    const int r = CompareKeyStep(m_keyStripped, other.m_keyStripped);
    if (r != 0 || (!m_keyFull && !other.m_keyFull))
        return r;
    return CompareKeyStep(m_keyFull ? m_keyFull : m_keyStripped,
                          other.m_keyFull ? other.m_keyFull : other.m_keyStripped);
}

CTextCollator::CTextCollator() : CTextCollator(QLocale()) {}

CTextCollator::CTextCollator(const QLocale& locale) : m_collator(CollationLocale(locale)) {
    m_collator.setCaseSensitivity(Qt::CaseSensitive);
    m_collator.setNumericMode(false);
    m_collator.setIgnorePunctuation(false);
}

QLocale CTextCollator::Locale() const { return m_collator.locale(); }

QString CTextCollator::Decode(std::string_view bytes) {
    const auto size = static_cast<qsizetype>(bytes.size());
    if (IsAscii(bytes) || !IsValidUtf8(bytes))
        return QString::fromLatin1(bytes.data(), size);
    return QString::fromUtf8(bytes.data(), size);
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
    bool bRemovedA = false;
    bool bRemovedB = false;
    const QString strippedA = StripNearlyIgnored(a, &bRemovedA);
    const QString strippedB = StripNearlyIgnored(b, &bRemovedB);
    const int r = step(strippedA, strippedB);
    if (r != 0 || (!bRemovedA && !bRemovedB))
        return r;
    return step(a, b);
}

int CTextCollator::Compare(std::string_view a, std::string_view b) const {
    return CompareDecoded(Decode(a), Decode(b));
}

CTextCollator::CKey CTextCollator::MakeKey(std::string_view text) const {
    const QString full = Decode(text);
    bool bRemoved = false;
    const QString stripped = StripNearlyIgnored(full, &bRemoved);
    CKey key;
    if (!stripped.isEmpty())
        key.m_keyStripped = m_collator.sortKey(stripped);
    if (bRemoved)
        key.m_keyFull = m_collator.sortKey(full);
    return key;
}
