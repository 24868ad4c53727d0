// A disc image file opened for block reads (and, for edits in place, writes) by its descriptor.
#pragma once

#include <string>

#include "disc/image_source.h"
#include "listing/failure.h"

class CImageFile : public CImageSource {
public:
    CImageFile() = default;
    ~CImageFile() override;
    CImageFile(const CImageFile&) = delete;
    CImageFile& operator=(const CImageFile&) = delete;

    // Opens the file read-only, or for reading and writing; a failure when it cannot.
    CResult<void> Open(const std::string& path, bool writable);

    std::uint64_t Size() const override { return m_nSize; }
    bool ReadAt(std::uint64_t offset, char* data, std::size_t size) const override;
    int Descriptor() const { return m_fd; }

private:
    int m_fd = -1;
    std::uint64_t m_nSize = 0;
};
