// The column width record: any stored bytes give either nothing or one width per column, none negative;
// a record written from widths reads back as those widths (negative ones as 0).
#include <cstdlib>
#include <vector>

#include <QByteArray>

#include "fuzz_input.h"
#include "model/width_record.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView stored(data, static_cast<qsizetype>(size));
    for (int columns = 0; columns <= 8; ++columns) {
        const std::optional<std::vector<int>> widths = ReadWidthRecord(stored, columns);
        if (!widths)
            continue;
        if (static_cast<int>(widths->size()) != columns)
            std::abort();
        for (int width : *widths) {
            if (width < 0)
                std::abort();
        }
        if (ReadWidthRecord(WriteWidthRecord(*widths), columns) != widths)
            std::abort();
    }

    CFuzzInput in(data, size);
    std::vector<int> written(in.Byte() % 10);
    for (int& width : written)
        width = static_cast<int>(in.Word());
    const std::optional<std::vector<int>> read =
        ReadWidthRecord(WriteWidthRecord(written), static_cast<int>(written.size()));
    if (!read || read->size() != written.size())
        std::abort();
    for (std::size_t i = 0; i < written.size(); ++i) {
        if ((*read)[i] != (written[i] < 0 ? 0 : written[i]))
            std::abort();
    }
    return 0;
}
