#include "disc/read_order.h"

ReadOrder FirstReadOrder(const std::vector<TracedFile>& files, const std::vector<TraceRead>& reads,
                         bool untouchedFirst) {
    CTraceLayout layout(files);
    std::vector<bool> read(files.size(), false);
    std::vector<std::uint32_t> readOrder;
    for (const TraceRead& r : reads) {
        layout.ForEachFileTouched(r, [&](std::uint32_t file) {
            if (!read[file]) {
                read[file] = true;
                readOrder.push_back(file);
            }
        });
    }
    ReadOrder result;
    result.filesRead = readOrder.size();
    result.order.reserve(files.size());
    if (!untouchedFirst)
        result.order = std::move(readOrder);
    for (std::uint32_t i = 0; i < files.size(); ++i) {
        if (!read[i])
            result.order.push_back(i);
    }
    if (untouchedFirst)
        result.order.insert(result.order.end(), readOrder.begin(), readOrder.end());
    return result;
}
