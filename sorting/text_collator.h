// Linguistic comparison of cell texts, the order in which the table sorts a column of words.
//
// Texts are byte strings; they are decoded as UTF-8 when they are valid UTF-8 and as Latin-1 otherwise,
// the same way the screen shows them, and collated by ICU through QCollator:
//  - alphabetical order first, case only as a tie-breaker with lower case first
//    ("apple" < "Apple" < "Banana");
//  - hyphens and apostrophes are nearly ignored: texts are compared with them removed, and only when
//    that ties are the full texts compared ("coop" and "co-op" stand together, both before "coq");
//  - the empty text comes before every other text.
#pragma once

#include <QCollator>
#include <QLocale>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

class CFlatKeyMaker;

class CTextCollator {
public:
    // A precomputed form of one text. Comparing two keys made by the same collator gives exactly what
    // Compare gives for their texts, in a fraction of the time; worth it when a text takes part in many
    // comparisons, as in a sort.
    class CKey {
    public:
        // -1, 0 or 1, as CTextCollator::Compare of the two texts.
        int Compare(const CKey& other) const;

    private:
        friend class CTextCollator;
        // A collation key made in place: QCollatorSortKey has no move constructor, and copies touch a
        // shared reference count, which costs a cache miss per key when millions are made.
        struct CLevel {
            CLevel(const QCollator& collator, const QString& text) : key(collator.sortKey(text)) {}
            QCollatorSortKey key;
        };
        static int CompareLevel(const std::optional<CLevel>& a, const std::optional<CLevel>& b);

        // Key of the text without hyphens and apostrophes; empty when that text is empty.
        std::optional<CLevel> m_stripped;
        // Key of the full text, present only when the text has hyphens or apostrophes (otherwise the
        // stripped key serves for both steps).
        std::optional<CLevel> m_full;
    };

    // Collates by the user's locale (QLocale()), or by English when that locale is C/POSIX, which has
    // no linguistic order of its own.
    CTextCollator();
    // Collates by the given locale; C/POSIX again stands for English.
    explicit CTextCollator(const QLocale& locale);
    ~CTextCollator();
    CTextCollator(const CTextCollator& other);
    CTextCollator& operator=(const CTextCollator&) = delete;

    // The locale actually used.
    QLocale Locale() const;

    // -1 when a goes before b, 1 when after, 0 when they are equivalent.
    int Compare(std::string_view a, std::string_view b) const;

    // The key of a text, for comparisons with CKey::Compare.
    CKey MakeKey(std::string_view text) const;

    // Dense ranks of the texts textAt(0) to textAt(nCount - 1): rank[i] < rank[j] exactly when text i
    // goes before text j, equal ranks for equivalent texts. The cheapest form for sorting many texts.
    // Each text gets one flat byte key, all in a few large buffers, and the ranks come from sorting
    // those keys by their bytes; for large counts the work is shared among helper threads, joined
    // before this returns. The keys are the collator's own sort keys, or, when every text holds only
    // digits and hyphens (negative numbers), the texts' bytes, which this collator orders the same way
    // (checked once against Compare). The keys are freed before this returns. textAt is called on the
    // calling thread only.
    std::vector<std::uint32_t> MakeRanks(std::uint32_t nCount,
                                         const std::function<std::string_view(std::uint32_t)>& textAt) const;

    // A byte text as the table shows it: UTF-8 when the bytes are valid UTF-8, Latin-1 otherwise.
    static QString Decode(std::string_view bytes);

    // Texts of digits and hyphens only (numbers with signs, or with hyphens between digits): when
    // ComparesDigitsAndHyphensByBytes() holds, Compare of two such texts is CompareDigitsAndHyphens,
    // which needs no collation: the texts without hyphens by their bytes, then the whole texts.
    static bool IsDigitsAndHyphens(std::string_view text);
    bool ComparesDigitsAndHyphensByBytes() const { return m_bDigitsByBytes; }
    // True when MakeRanks makes the collation's flat keys (ICU could open the locale's collation).
    bool MakesFlatKeys() const { return m_pFlat != nullptr; }
    static int CompareDigitsAndHyphens(std::string_view a, std::string_view b);
    // For a text of digits and hyphens with at most 16 digits: its digits, four bits each (digit + 1, zero
    // after the last), a number that orders as the texts without hyphens do by their bytes. False when
    // the text has more digits.
    static bool DigitsKey(std::string_view text, std::uint64_t& key) {
        std::uint64_t digits = 0;
        int nDigits = 0;
        for (char c : text) {
            if (c == '-')
                continue;
            if (nDigits == 16)
                return false;
            digits = (digits << 4) | static_cast<std::uint64_t>(c - '0' + 1);
            ++nDigits;
        }
        key = nDigits == 0 ? 0 : digits << (4 * (16 - nDigits));
        return true;
    }

    // Puts text without hyphens and apostrophes into out and returns true, or returns false (out
    // untouched) when text has none: the first step of every comparison.
    static bool StripNearlyIgnored(const QString& text, QString& out);

private:
    int CompareDecoded(const QString& a, const QString& b) const;
    // Makes the key of text in key with the given collator, using the two buffers for the decoded and
    // the stripped text. Returns whether hyphens or apostrophes were taken out.
    static bool FillKey(const QCollator& collator, std::string_view text, CKey& key, QString& decoded,
                        QString& stripped);
    // True when Compare orders texts of digits and hyphens by their bytes.
    bool OrdersDigitsAndHyphensByBytes() const;

    QCollator m_collator;
    std::unique_ptr<CFlatKeyMaker> m_pFlat; // null when the collation could not be opened
    bool m_bDigitsByBytes = false;
};
