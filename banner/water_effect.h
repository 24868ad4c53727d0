// Two-field height-map simulation of rippling water, rendered as a shifted and shaded copy of a picture.
#pragma once

#include <cstdint>
#include <vector>

class CWaterEffect {
public:
    CWaterEffect();
    virtual ~CWaterEffect();

    CWaterEffect(const CWaterEffect&) = delete;
    CWaterEffect& operator=(const CWaterEffect&) = delete;

    // Sizes both height fields to width x height cells, all flat, and resets the page to 0.
    void Create(int width, int height);
    // Flattens both fields; size and page stay.
    void Clear();
    // Renders field A over source into target, advances the simulation one update and flips the page.
    // Source and target are 32-bit pixel arrays, rows m_nWidth words apart, at least m_nHeight rows.
    void Step(const uint32_t* source, uint32_t* target);
    // Adds height to every interior cell strictly within radius of (x, y) in the field the given page
    // writes next. A negative coordinate picks a random one whose disc fits inside the interior.
    void AddDrop(int x, int y, int radius, int height, int page);
    int GetPage() const { return m_nPage; }

protected:
    // One wave update: page 0 writes field A from B, any other page writes B from A.
    void Propagate(int page, int shift);
    // Writes every interior pixel of target from a slope-displaced source pixel, shaded by the slope.
    void RenderShaded(const uint32_t* source, uint32_t* target);

    int32_t m_nWidth;
    int32_t m_nHeight;
    int32_t m_nPage;
    int32_t m_nDampingShift;
    // The two height fields, owned vectors (not pointers) of m_nWidth x m_nHeight cells, row-major: cell
    // (x, y) is element y * m_nWidth + x. Empty until Create. The render always reads field A.
    std::vector<int32_t> m_pFieldA;
    std::vector<int32_t> m_pFieldB;
};
