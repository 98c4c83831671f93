#include "icon_image.h"

#include <utility>

namespace notice {

namespace {

std::uint32_t Le16(const std::uint8_t* p) { return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8; }
std::uint32_t Le32(const std::uint8_t* p) { return Le16(p) | Le16(p + 2) << 16; }

constexpr std::size_t kDirSize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::uint32_t kMaxSide = 256;

}  // namespace

bool DecodeIco32(const std::uint8_t* data, std::size_t size, IconImage* out) {
  *out = IconImage{};
  if (!data || size < kDirSize + kEntrySize) return false;
  if (Le16(data) != 0 || Le16(data + 2) != 1 || Le16(data + 4) == 0) return false;

  const std::uint8_t* entry = data + kDirSize;
  const std::uint32_t width = entry[0] ? entry[0] : kMaxSide;
  const std::uint32_t height = entry[1] ? entry[1] : kMaxSide;
  const std::uint32_t length = Le32(entry + 8);
  const std::uint32_t offset = Le32(entry + 12);
  // Compared as sizes so that no sum can wrap around.
  if (offset > size || length > size - offset || length < kInfoHeaderSize) return false;

  const std::uint8_t* info = data + offset;
  if (Le32(info) < kInfoHeaderSize || Le32(info) > length) return false;
  // The bitmap's height counts the colour rows and the mask rows together.
  if (Le32(info + 4) != width || Le32(info + 8) != 2 * height) return false;
  if (Le16(info + 12) != 1 || Le16(info + 14) != 32 || Le32(info + 16) != 0) return false;

  const std::size_t rowBytes = std::size_t{width} * 4;
  const std::size_t pixelsAt = Le32(info);
  if (rowBytes * height > length - pixelsAt) return false;

  IconImage image;
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  image.rgba.resize(rowBytes * height);
  for (std::size_t y = 0; y < height; ++y) {
    // Bitmap rows run bottom to top, each pixel blue, green, red, alpha.
    const std::uint8_t* src = info + pixelsAt + (height - 1 - y) * rowBytes;
    std::uint8_t* dst = image.rgba.data() + y * rowBytes;
    for (std::size_t x = 0; x < width; ++x, src += 4, dst += 4) {
      dst[0] = src[2];
      dst[1] = src[1];
      dst[2] = src[0];
      dst[3] = src[3];
    }
  }
  *out = std::move(image);
  return true;
}

}  // namespace notice
