// Advice to the system to back large buffers with huge pages.
#pragma once

#include <cstddef>

// Asks for huge pages under the whole 2 MB pages of a buffer of millions of items about to be filled, such
// as a vector just reserved: small pages cost a page fault every 4 KB, and a buffer read in scattered order
// a walk of the page tables for nearly every read. Advice only; small pages work too.
void AdviseHugePages(const void* begin, std::size_t bytes);
