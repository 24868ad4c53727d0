// An anonymous temporary file holding given bytes, for tests that read through a std::FILE*.
#pragma once

#include <cstdio>
#include <memory>
#include <string_view>

#include <gtest/gtest.h>

#include "listing/regular_file.h"

// A file opened for binary reading and writing, holding `content`, positioned at its start.
inline FilePtr MakeTempFile(std::string_view content) {
    FilePtr file(std::tmpfile());
    EXPECT_NE(file, nullptr);
    if (!file)
        return file;
    EXPECT_EQ(std::fwrite(content.data(), 1, content.size(), file.get()), content.size());
    std::rewind(file.get());
    return file;
}
