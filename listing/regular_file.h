// The files the listing readers take: a stream that closes itself, opened only on a regular file and
// without ever waiting on the file.
#pragma once

#include <cstdio>
#include <memory>

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens `path` for binary reading. A FIFO, a socket, a device or a folder is refused like a file that
// does not exist (nullptr): reading one could wait for ever or never end. The open itself does not wait
// for a writer at the other end of a FIFO.
FilePtr OpenRegularFile(const char* path);
