// The committed icon's directory: each size Windows picks from, once; 32 px is
// the window's 24-bit image, the others 32-bit, and 256 px a PNG.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

uint32_t Little(const std::vector<uint8_t>& bytes, size_t at, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes.at(at + i);
  return value;
}

TEST(IconFile, HoldsEachSizeOnceAtItsDepth) {
  struct Image {
    uint32_t size, bits;
    bool png;
  };
  const Image expected[] = {{16, 32, false}, {20, 32, false}, {24, 32, false}, {32, 24, false},
                            {40, 32, false}, {48, 32, false}, {64, 32, false}, {256, 32, true}};
  std::ifstream file(ORNIVALE_ICON, std::ios::binary);
  const std::vector<uint8_t> icon{std::istreambuf_iterator<char>(file), {}};
  const std::vector<uint8_t> png_signature{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

  ASSERT_EQ(Little(icon, 4, 2), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    const Image& want = expected[i];
    SCOPED_TRACE(want.size);
    const size_t entry = 6 + 16 * i;
    EXPECT_EQ(icon.at(entry), want.size % 256);  // width; 0 stands for 256
    EXPECT_EQ(icon.at(entry + 1), want.size % 256);
    EXPECT_EQ(Little(icon, entry + 6, 2), want.bits);
    const uint32_t bytes = Little(icon, entry + 8, 4), offset = Little(icon, entry + 12, 4);
    ASSERT_LE(uint64_t{offset} + bytes, icon.size());
    const auto image = icon.begin() + offset;
    EXPECT_EQ(std::vector<uint8_t>(image, image + 8) == png_signature, want.png);
    if (!want.png) {  // the DIB's header: its width, its height with the mask's, its depth
      EXPECT_EQ(Little(icon, offset + 4, 4), want.size);
      EXPECT_EQ(Little(icon, offset + 8, 4), 2 * want.size);
      EXPECT_EQ(Little(icon, offset + 14, 2), want.bits);
    }
  }
}

}  // namespace
