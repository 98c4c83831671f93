#include "icon_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace notice {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

// A 2 x 2 icon as the Windows tools write it: bottom row first, pixels in
// blue, green, red, alpha order, then the 1-bit mask (one 32-bit row each).
Bytes TwoByTwoIcon() {
  constexpr std::size_t kImageAt = 22, kPixelsAt = kImageAt + 40, kImageSize = 40 + 16 + 8;
  Bytes b(kImageAt + kImageSize, 0);
  Put16(b, 2, 1);  // type: icon
  Put16(b, 4, 1);  // one image
  b[6] = 2;
  b[7] = 2;
  Put16(b, 10, 1);
  Put16(b, 12, 32);
  Put32(b, 14, kImageSize);
  Put32(b, 18, kImageAt);
  Put32(b, kImageAt, 40);
  Put32(b, kImageAt + 4, 2);
  Put32(b, kImageAt + 8, 4);  // colour rows and mask rows
  Put16(b, kImageAt + 12, 1);
  Put16(b, kImageAt + 14, 32);
  const std::uint8_t bottomRow[] = {0x01, 0x02, 0x03, 0xFF, 0x04, 0x05, 0x06, 0x80};
  const std::uint8_t topRow[] = {0x10, 0x20, 0x30, 0x00, 0x40, 0x50, 0x60, 0x7F};
  std::copy(std::begin(bottomRow), std::end(bottomRow), b.begin() + kPixelsAt);
  std::copy(std::begin(topRow), std::end(topRow), b.begin() + kPixelsAt + 8);
  return b;
}

TEST(DecodeIco32, GivesTopDownRgbaWithStraightAlpha) {
  const Bytes ico = TwoByTwoIcon();
  IconImage image;
  ASSERT_TRUE(DecodeIco32(ico.data(), ico.size(), &image));
  EXPECT_EQ(image.width, 2);
  EXPECT_EQ(image.height, 2);
  const Bytes expected = {0x30, 0x20, 0x10, 0x00, 0x60, 0x50, 0x40, 0x7F,
                          0x03, 0x02, 0x01, 0xFF, 0x06, 0x05, 0x04, 0x80};
  EXPECT_EQ(image.rgba, expected);
}

struct BadIcon {
  std::string name;
  void (*spoil)(Bytes&);
};

class DecodeIco32Refuses : public testing::TestWithParam<BadIcon> {};

TEST_P(DecodeIco32Refuses, AndLeavesNoPicture) {
  Bytes ico = TwoByTwoIcon();
  GetParam().spoil(ico);
  IconImage image;
  image.width = 7;
  EXPECT_FALSE(DecodeIco32(ico.data(), ico.size(), &image));
  EXPECT_EQ(image.width, 0);
  EXPECT_TRUE(image.rgba.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, DecodeIco32Refuses,
    testing::ValuesIn(std::vector<BadIcon>{
        {"Empty", [](Bytes& b) { b.clear(); }},
        {"OnlyTheDirectory", [](Bytes& b) { b.resize(6); }},
        {"CutInThePixels", [](Bytes& b) { b.resize(b.size() - 20); }},
        {"CursorNotIcon", [](Bytes& b) { Put16(b, 2, 2); }},
        {"NoImages", [](Bytes& b) { Put16(b, 4, 0); }},
        {"OffsetPastTheEnd", [](Bytes& b) { Put32(b, 18, 0xFFFFFFF0u); }},
        {"LengthWrapsAround", [](Bytes& b) { Put32(b, 14, 0xFFFFFFFFu); }},
        {"TwentyFourBits", [](Bytes& b) { Put16(b, 22 + 14, 24); }},
        {"Compressed", [](Bytes& b) { Put32(b, 22 + 16, 3); }},
        {"PngPayload", [](Bytes& b) { b[22] = 0x89; b[23] = 'P'; b[24] = 'N'; b[25] = 'G'; }},
        {"HeightNotDoubled", [](Bytes& b) { Put32(b, 22 + 8, 2); }},
        {"WidthDisagrees", [](Bytes& b) { Put32(b, 22 + 4, 3); }},
        {"HeaderLongerThanTheImage", [](Bytes& b) { Put32(b, 22, 0x10000); }},
    }),
    [](const auto& row) { return row.param.name; });

TEST(DecodeIco32, NullDataIsRefused) {
  IconImage image;
  EXPECT_FALSE(DecodeIco32(nullptr, 100, &image));
}

TEST(DecodeIco32, TheProgramIconIs64By64WithTransparentCorners) {
  std::ifstream file(NOTICE_ICON_FILE, std::ios::binary);
  ASSERT_TRUE(file) << NOTICE_ICON_FILE;
  const Bytes ico{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  IconImage image;
  ASSERT_TRUE(DecodeIco32(ico.data(), ico.size(), &image));
  ASSERT_EQ(image.width, 64);
  ASSERT_EQ(image.height, 64);
  const auto alpha = [&](int x, int y) { return image.rgba[(std::size_t(y) * 64 + x) * 4 + 3]; };
  EXPECT_EQ(alpha(0, 0), 0);
  EXPECT_EQ(alpha(63, 63), 0);
  EXPECT_EQ(alpha(32, 32), 255);
  // The tile is blue and lighter at the top: that tells a flipped picture.
  const auto blue = [&](int y) { return image.rgba[(std::size_t(y) * 64 + 4) * 4 + 2]; };
  const auto red = [&](int y) { return image.rgba[(std::size_t(y) * 64 + 4) * 4 + 0]; };
  EXPECT_GT(blue(20), red(20));
  EXPECT_GT(red(8), red(56));
}

}  // namespace
}  // namespace notice
