// The program icon as plain pixels, for toolkits that take an RGBA picture
// instead of an icon resource. The .ico bytes are carried in the binary and
// decoded here, so the picture is the same one the Windows program shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace notice {

struct IconImage {
  int width = 0;
  int height = 0;
  // Rows top to bottom, 4 bytes a pixel: red, green, blue, straight alpha.
  std::vector<std::uint8_t> rgba;
};

// Decodes the first image of an .ico file when it is an uncompressed 32-bit
// bitmap (the only kind the program carries). Anything else, or a file whose
// sizes and offsets do not hold together, gives false and leaves `out` empty.
bool DecodeIco32(const std::uint8_t* data, std::size_t size, IconImage* out);

}  // namespace notice
