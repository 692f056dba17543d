#ifndef BATTLESHIPS_WINDOW_ICON_H
#define BATTLESHIPS_WINDOW_ICON_H

#include <cstddef>
#include <cstdint>

// The game's icon as a window offers it, generated at build time from the
// same drawing as the installed icons: for each size its width, its height,
// then its pixels row by row as non-premultiplied 0xAARRGGBB, smallest size
// first. windowIconLength counts the values.
extern const std::uint32_t windowIcon[];
extern const std::size_t windowIconLength;

#endif
