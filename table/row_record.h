// The private record each table row carries: copies of all of the row's cell texts.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct RowRecord {
    std::unique_ptr<std::string[]> ppszCells;  // one copy per column, in column order
    std::uint32_t dwUserValue = 0;
};
