#include "model/width_record.h"

#include <QtEndian>

#include <algorithm>
#include <cstdint>

namespace {

constexpr qsizetype kFieldSize = 4;

void AppendInt32(QByteArray& out, std::int32_t value) {
    char bytes[kFieldSize];
    qToLittleEndian<std::int32_t>(value, bytes);
    out.append(bytes, kFieldSize);
}

std::int32_t ReadInt32(QByteArrayView record, qsizetype offset) {
    return qFromLittleEndian<std::int32_t>(record.data() + offset);
}

} // namespace

QByteArray WriteWidthRecord(const std::vector<int>& widths) {
    QByteArray record;
    record.reserve(kFieldSize * (1 + static_cast<qsizetype>(widths.size())));
    AppendInt32(record, static_cast<std::int32_t>(widths.size()));
    for (int width : widths)
        AppendInt32(record, width);
    return record;
}

std::optional<std::vector<int>> ReadWidthRecord(QByteArrayView record, int nCurrentCount) {
    if (record.size() < kFieldSize)
        return std::nullopt;
    const std::int32_t n = ReadInt32(record, 0);
    if (n < 0 || n != nCurrentCount)
        return std::nullopt;
    if ((record.size() - kFieldSize) / kFieldSize < n)
        return std::nullopt;
    std::vector<int> widths(static_cast<std::size_t>(n));
    for (std::int32_t i = 0; i < n; ++i)
        widths[static_cast<std::size_t>(i)] = std::max(0, ReadInt32(record, kFieldSize * (1 + i)));
    return widths;
}
