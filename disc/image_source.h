// Random access to the bytes of a disc image, whether a file or bytes in memory, so the block reader works
// on a 2 GB image without loading it and on a fuzzer's input alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

class CImageSource {
public:
    virtual ~CImageSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Fills `size` bytes from `offset`; false when any of them lies past the end or cannot be read.
    virtual bool ReadAt(std::uint64_t offset, char* data, std::size_t size) const = 0;
};

class CMemoryImageSource : public CImageSource {
public:
    explicit CMemoryImageSource(std::string_view bytes) : m_bytes(bytes) {}
    std::uint64_t Size() const override { return m_bytes.size(); }
    bool ReadAt(std::uint64_t offset, char* data, std::size_t size) const override {
        if (offset > m_bytes.size() || size > m_bytes.size() - offset)
            return false;
        if (size > 0)
            std::memcpy(data, m_bytes.data() + offset, size);
        return true;
    }

private:
    std::string_view m_bytes;
};
