#include "banner/water_effect.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

namespace {

// Heights are plain 32-bit quantities that wrap around like the machine's own sums; the arithmetic is done
// wider and brought back modulo 2^32 so that an extreme pile of drops cannot trigger undefined behaviour.
int32_t Wrap32(int64_t value) {
    return static_cast<int32_t>(static_cast<uint32_t>(value));
}

uint32_t ShadeChannel(uint32_t pixel, int shift, int32_t slope) {
    const int32_t channel = static_cast<int32_t>((pixel >> shift) & 0xFFu);
    const int32_t shaded = std::clamp(Wrap32(int64_t{channel} - slope), 0, 255);
    return static_cast<uint32_t>(shaded) << shift;
}

// Picks a random centre coordinate whose disc of the given radius fits inside the interior of a field
// `extent` cells long; returns false when the field is too small to hold such a disc.
bool RandomCentre(int64_t extent, int64_t radius, int& coordinate) {
    const int64_t choices = extent - 2 * radius - 1;
    if (choices <= 0) {
        return false;
    }
    coordinate = static_cast<int>(radius + 1 + std::rand() % choices);
    return true;
}

} // namespace

CWaterEffect::CWaterEffect() : m_nWidth(0), m_nHeight(0), m_nPage(0), m_nDampingShift(5) {}

CWaterEffect::~CWaterEffect() = default;

void CWaterEffect::Create(int width, int height) {
    // A negative size would make the cell count meaningless; it gives an empty field instead.
    m_nWidth = std::max(width, 0);
    m_nHeight = std::max(height, 0);
    const size_t cells = static_cast<size_t>(m_nWidth) * static_cast<size_t>(m_nHeight);
    m_pFieldA.assign(cells, 0);
    m_pFieldB.assign(cells, 0);
    m_nPage = 0;
}

void CWaterEffect::Clear() {
    std::fill(m_pFieldA.begin(), m_pFieldA.end(), 0);
    std::fill(m_pFieldB.begin(), m_pFieldB.end(), 0);
}

void CWaterEffect::Step(const uint32_t* source, uint32_t* target) {
    RenderShaded(source, target);
    Propagate(m_nPage, m_nDampingShift);
    m_nPage = 1 - m_nPage;
}

void CWaterEffect::Propagate(int page, int shift) {
    const std::vector<int32_t>& src = page == 0 ? m_pFieldB : m_pFieldA;
    std::vector<int32_t>& dst = page == 0 ? m_pFieldA : m_pFieldB;
    const int64_t w = m_nWidth;
    for (int64_t y = 1; y < m_nHeight - 1; ++y) {
        for (int64_t x = 1; x < m_nWidth - 1; ++x) {
            const int64_t i = y * w + x;
            const int64_t sum = int64_t{src[i - w - 1]} + src[i - w] + src[i - w + 1] + src[i - 1] +
                                src[i + 1] + src[i + w - 1] + src[i + w] + src[i + w + 1];
            const int32_t s = Wrap32(sum);
            const int32_t v = Wrap32(int64_t{s >> 2} - dst[i]);
            dst[i] = Wrap32(int64_t{v} - (v >> shift));
        }
    }
}

void CWaterEffect::RenderShaded(const uint32_t* source, uint32_t* target) {
    const std::vector<int32_t>& a = m_pFieldA;
    const int64_t w = m_nWidth;
    const int64_t cells = w * m_nHeight;
    for (int64_t y = 1; y < m_nHeight - 1; ++y) {
        for (int64_t x = 1; x < m_nWidth - 1; ++x) {
            const int64_t i = y * w + x;
            const int32_t dx = Wrap32(int64_t{a[i]} - a[i + 1]);
            const int32_t dy = Wrap32(int64_t{a[i]} - a[i + w]);
            const int64_t j = Wrap32(i + Wrap32(int64_t{dy >> 3} * w) + (dx >> 3));
            // Index 0 counts as outside, so the corner word is never a displacement source.
            if (j <= 0 || j >= cells) {
                continue;
            }
            const uint32_t p = source[j];
            target[i] = ShadeChannel(p, 16, dx) | ShadeChannel(p, 8, dx) | ShadeChannel(p, 0, dx);
        }
    }
}

void CWaterEffect::AddDrop(int x, int y, int radius, int height, int page) {
    std::vector<int32_t>& field = page == 0 ? m_pFieldA : m_pFieldB;
    const int64_t w = m_nWidth;
    const int64_t h = m_nHeight;
    const int64_t r = radius;
    // A field too narrow or too low for the disc has no random position to offer, so nothing is added
    // (the remainder by a zero count would otherwise be undefined).
    if (x < 0 && !RandomCentre(w, r, x)) {
        return;
    }
    if (y < 0 && !RandomCentre(h, r, y)) {
        return;
    }
    // The bounds keep every touched cell inside the interior: columns 1..w-2, rows 1..h-2.
    const int64_t cyBegin = std::max(-r, 1 - int64_t{y});
    const int64_t cyEnd = std::min(r, h - 1 - y);
    const int64_t cxBegin = std::max(-r, 1 - int64_t{x});
    const int64_t cxEnd = std::min(r, w - 1 - x);
    for (int64_t cy = cyBegin; cy < cyEnd; ++cy) {
        for (int64_t cx = cxBegin; cx < cxEnd; ++cx) {
            if (cx * cx + cy * cy < r * r) {
                int32_t& cell = field[(y + cy) * w + (x + cx)];
                cell = Wrap32(int64_t{cell} + height);
            }
        }
    }
}
