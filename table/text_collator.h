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

#include <optional>
#include <string_view>

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
        // Key of the text without hyphens and apostrophes; empty when that text is empty.
        std::optional<QCollatorSortKey> m_keyStripped;
        // Key of the full text, present only when the text has hyphens or apostrophes (otherwise the
        // stripped key serves for both steps).
        std::optional<QCollatorSortKey> m_keyFull;
    };

    // Collates by the user's locale (QLocale()), or by English when that locale is C/POSIX, which has
    // no linguistic order of its own.
    CTextCollator();
    // Collates by the given locale; C/POSIX again stands for English.
    explicit CTextCollator(const QLocale& locale);

    // The locale actually used.
    QLocale Locale() const;

    // -1 when a goes before b, 1 when after, 0 when they are equivalent.
    int Compare(std::string_view a, std::string_view b) const;

    // The key of a text, for comparisons with CKey::Compare.
    CKey MakeKey(std::string_view text) const;

    // A byte text as the table shows it: UTF-8 when the bytes are valid UTF-8, Latin-1 otherwise.
    static QString Decode(std::string_view bytes);

private:
    int CompareDecoded(const QString& a, const QString& b) const;

    QCollator m_collator;
};
