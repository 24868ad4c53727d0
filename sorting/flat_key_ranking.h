// Dense ranks of many texts from flat byte keys, the fastest form of a large sort by a column of words.
//
// Each text gets one flat byte key, all in a few large buffers, and the ranks come from sorting those
// keys by their bytes; for large counts the work is shared among helper threads. The keys are ICU's sort
// keys of the texts without hyphens and apostrophes (then of the whole texts where those tie), made with
// the settings QCollator uses, so the ranks agree with CTextCollator::Compare; or, for texts of digits
// and hyphens, the texts' own bytes.
#pragma once

#include <QByteArray>
#include <QLocale>
#include <QString>

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include <unicode/ucol.h>

// An ICU collator opened with the settings QCollator gives its own for the same locale (normalization
// on, default strength for case-sensitive comparison, digits as characters, punctuation not ignored),
// so its sort keys order texts exactly as QCollator::compare does; the tests hold the two equal.
class CFlatKeyMaker {
public:
    explicit CFlatKeyMaker(const QLocale& locale)
        : m_name(locale.bcp47Name().replace(u'-', u'_').toLatin1()) {}

    // A collator of its own for one thread; null when ICU cannot open it.
    UCollator* Open() const {
        UErrorCode status = U_ZERO_ERROR;
        UCollator* collator = ucol_open(m_name.constData(), &status);
        if (U_FAILURE(status))
            return nullptr;
        ucol_setAttribute(collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
        ucol_setAttribute(collator, UCOL_STRENGTH, UCOL_DEFAULT_STRENGTH, &status);
        ucol_setAttribute(collator, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
        ucol_setAttribute(collator, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
        if (U_FAILURE(status)) {
            ucol_close(collator);
            return nullptr;
        }
        return collator;
    }

    // Appends the sort key of text, without its closing zero byte, to out; nothing for an empty text.
    template <class ByteVector>
    static void Append(UCollator* collator, const QString& text, ByteVector& out) {
        if (text.isEmpty())
            return;
        const std::size_t at = out.size();
        std::size_t room = 16 + 2 * static_cast<std::size_t>(text.size());
        for (;;) {
            out.resize(at + room);
            const int size = ucol_getSortKey(collator, reinterpret_cast<const UChar*>(text.constData()),
                                             static_cast<int32_t>(text.size()), out.data() + at,
                                             static_cast<int32_t>(room));
            if (size > 0 && static_cast<std::size_t>(size) <= room) {
                out.resize(at + static_cast<std::size_t>(size) - 1);
                return;
            }
            room = static_cast<std::size_t>(std::max(size, 1)) * 2;
        }
    }

private:
    QByteArray m_name;
};

// Dense ranks of the texts: rank[i] < rank[j] exactly when text i goes before text j in the collator's
// order, equal ranks for equivalent texts. bDigits: every text is digits and hyphens, ordered by their
// bytes without hyphens, then whole (the keys need no collation, and pMaker may be null). Otherwise pMaker
// opens the collation. The keys are freed before this returns.
std::vector<std::uint32_t> FlatKeyRanks(std::span<const std::string_view> texts, bool bDigits,
                                        const CFlatKeyMaker* pMaker);
