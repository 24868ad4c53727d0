// The order in which a trace first reads the files of a listing.
#pragma once

#include <cstdint>
#include <vector>

#include "disc/read_trace.h"
#include "disc/trace_layout.h"

struct ReadOrder {
    std::vector<std::uint32_t> order; // listing indexes, every file once
    std::size_t filesRead = 0;        // the first filesRead of order were read, the rest never
};

// The files in the order of their first read; a read touching several files gives them in block order.
// Files never read keep their listing order and follow the others, or come first with untouchedFirst.
ReadOrder FirstReadOrder(const std::vector<TracedFile>& files, const std::vector<TraceRead>& reads,
                         bool untouchedFirst);
