// Reads typed values from a fuzzer's input bytes, yielding zeros once the bytes run out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CFuzzInput {
public:
    CFuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) {}

    bool Empty() const { return m_pos >= m_size; }

    std::uint8_t Byte() { return m_pos < m_size ? m_data[m_pos++] : 0; }

    std::uint32_t Word() {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = (value << 8) | Byte();
        return value;
    }

    // Up to maxLength bytes, the length taken from the input first.
    std::string Text(std::size_t maxLength) {
        const std::size_t length = Byte() % (maxLength + 1);
        const std::size_t available = m_pos < m_size ? m_size - m_pos : 0;
        const std::size_t taken = length < available ? length : available;
        std::string text(reinterpret_cast<const char*>(m_data + m_pos), taken);
        m_pos += taken;
        return text;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_pos = 0;
};
