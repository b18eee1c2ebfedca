#include "level/format/level_scan.h"

#include <algorithm>
#include <array>
#include <limits>

namespace ornivale {
namespace {

constexpr std::size_t kVersionBytes = 4;
constexpr std::size_t kCountBytes = 6;
constexpr std::size_t kBlockHeaderBytes = 8;
constexpr std::size_t kHeadBytes = kVersionBytes + kCountBytes + kBlockHeaderBytes;
// The flags, the zero bytes after them and the level data's two sizes,
// read together.
constexpr std::size_t kTailBytes = LongestTail();
// Tomb Raider IV level data: unpacked size, packed size, then a zlib stream.
constexpr std::size_t kLevelDataHeadBytes = 10;

// The parts a level can end inside, as a failure names them.
constexpr const char* kBlocks[] = {"texture block 1", "texture block 2",
                                   "texture block 3"};
constexpr const char* kBlockHeaders[] = {"the header of texture block 1",
                                         "the header of texture block 2",
                                         "the header of texture block 3"};

// Reads a level in a few windows of bytes, each as much of a stretch as the
// file holds, and records the first failure in the scan.
class Reader {
 public:
  Reader(LevelFile& file, LevelScan& scan) : file_(file), scan_(scan) {}

  // Reads the `count` bytes at `offset` (at most a head's worth), or those
  // up to the end of the file.
  bool Fetch(int64_t offset, std::size_t count, const char* part) {
    offset_ = offset;
    length_ = static_cast<std::size_t>(std::clamp<int64_t>(
        scan_.size - offset, 0,
        static_cast<int64_t>(std::min(count, bytes_.size()))));
    return length_ == 0 || Keep(file_.Read(offset, bytes_.data(), length_), part);
  }

  bool Holds(int64_t offset, std::size_t count) const {
    return offset >= offset_ &&
           offset - offset_ + static_cast<int64_t>(count) <=
               static_cast<int64_t>(length_);
  }

  // The offset of the first byte other than zero among the `count` from
  // `offset` on, as far as they were fetched; -1 when all are zero.
  int64_t FirstNonZero(int64_t offset, std::size_t count) const {
    const auto end = std::min(length_, static_cast<std::size_t>(offset - offset_) + count);
    for (auto at = static_cast<std::size_t>(offset - offset_); at < end; ++at) {
      if (bytes_[at] != 0) return offset_ + static_cast<int64_t>(at);
    }
    return -1;
  }

  // The fetched bytes of `part`, or null when the file ends inside it.
  const uint8_t* Part(int64_t offset, std::size_t count, const char* part) {
    if (!Holds(offset, count)) {
      EndsInside(part);
      return nullptr;
    }
    return bytes_.data() + (offset - offset_);
  }

  void EndsInside(const char* part) {
    Keep(Failure(LevelCode::CutShort, file_.path()), part);
    scan_.status.offset = scan_.size;
  }

  void Fail(LevelCode code) {
    scan_.status = Failure(code, file_.path());
  }

 private:
  // A success leaves the scan's status as it is: nothing to copy.
  bool Keep(LevelStatus status, const char* part) {
    if (status.ok()) return true;
    if (status.code == LevelCode::CutShort) status.part = part;
    scan_.status = std::move(status);
    return false;
  }

  LevelFile& file_;
  LevelScan& scan_;
  std::array<uint8_t, std::max(kHeadBytes, kTailBytes)> bytes_{};
  int64_t offset_ = 0;
  std::size_t length_ = 0;
};

// A zlib stream's two-byte header (RFC 1950): deflate, a window of at most
// 32 KiB, no preset dictionary, and check bits that make it a multiple of
// 31. Any window size counts: a level packed with a small one is still a
// Tomb Raider IV level.
bool IsZlibHeader(uint8_t cmf, uint8_t flg) {
  const bool deflate = (cmf & 0x0F) == 8;
  const bool window_fits = (cmf >> 4) <= 7;
  const bool preset_dictionary = (flg & 0x20) != 0;
  return deflate && window_fits && !preset_dictionary &&
         ((cmf << 8) | flg) % 31 == 0;
}

bool IsRemasteredVersion(int32_t version) {
  return std::find(std::begin(kRemasteredVersions),
                   std::end(kRemasteredVersions),
                   version) != std::end(kRemasteredVersions);
}

// Packed level data where a TRC level keeps its flags and zero padding.
// Whether all of it is there does not matter: a copy still in progress is
// a Tomb Raider IV level too.
bool IsLevelDataHead(const uint8_t* head) {
  const auto packed_size = static_cast<uint32_t>(ReadDword(head + 4).Value);
  return packed_size > 0 && IsZlibHeader(head[8], head[9]);
}

}  // namespace

LevelScan ScanLevel(LevelFile& file) {
  LevelScan scan;
  LevelHeader& header = scan.header;
  Reader reader(file, scan);
  scan.size = file.Stamp().size;

  // The version, the counts and the first block header lie together.
  if (!reader.Fetch(0, kHeadBytes, "its version")) {
    return scan;
  }
  const uint8_t* bytes = reader.Part(0, kVersionBytes, "its version");
  if (!bytes) return scan;
  header.LevelVersion = ReadDword(bytes);
  scan.format = FormatOfVersion(header.LevelVersion.Value);
  if (!scan.VersionMatches()) {
    reader.Fail(IsRemasteredVersion(header.LevelVersion.Value)
                    ? LevelCode::RemasteredLevel
                    : LevelCode::WrongVersion);
    return scan;
  }

  bytes = reader.Part(kVersionBytes, kCountBytes, "its texture counts");
  if (!bytes) return scan;
  for (std::size_t i = 0; i < header.TexCounts.size(); ++i) {
    header.TexCounts[i] = ReadWord(bytes + 2 * i);
  }

  int64_t offset = kVersionBytes + kCountBytes;
  for (std::size_t i = 0; i < header.Chunks.size(); ++i) {
    const char* block = kBlocks[i];
    const char* block_header = kBlockHeaders[i];
    if (i > 0 && !reader.Fetch(offset, kBlockHeaderBytes, block_header)) {
      return scan;
    }
    bytes = reader.Part(offset, kBlockHeaderBytes, block_header);
    if (!bytes) return scan;
    TextureChunk& chunk = header.Chunks[i];
    chunk.UnpackedSize = ReadDword(bytes);
    chunk.PackedSize = ReadDword(bytes + 4);
    offset += kBlockHeaderBytes;
    if (chunk.PackedSize.Value < 0 && scan.negative_block < 0) {
      scan.negative_block = static_cast<int>(i);
    }
    if (chunk.PackedSize.Value > 0) {
      if (scan.size - offset < chunk.PackedSize.Value) {
        reader.EndsInside(block);
        return scan;
      }
      offset += chunk.PackedSize.Value;
    }
  }

  // A position counted from 1 must fit the level's signed 32-bit FlagsPos.
  if (offset >= std::numeric_limits<int32_t>::max()) {
    reader.Fail(LevelCode::TooLarge);
    return scan;
  }
  scan.flags_offset = offset;
  const LevelFormat& format = *scan.format;
  const char* flags = "its Lara type and weather";
  if (!reader.Fetch(offset, format.TailBytes(), flags)) return scan;
  bytes = reader.Part(offset, format.FlagBytes(), flags);
  if (!bytes) return scan;
  for (const FlagPlace& place : format) {
    scan.flags[place.flag] = ReadWord(bytes + place.offset);
  }
  const int64_t after = offset + static_cast<int64_t>(format.FlagBytes());
  scan.data_after_flags = reader.FirstNonZero(after, format.zero_bytes_after);
  if (reader.Holds(offset, kLevelDataHeadBytes) && IsLevelDataHead(bytes)) {
    scan.tr4_data_offset = offset;
  }
  const int64_t sizes = after + static_cast<int64_t>(format.zero_bytes_after);
  if (reader.Holds(sizes, format.sizes_after)) {
    const uint8_t* at = reader.Part(sizes, format.sizes_after, flags);
    for (std::size_t i = 0; i < format.sizes_after / 4 && i < scan.level_data_sizes.size(); ++i) {
      scan.level_data_sizes[i] = ReadDword(at + 4 * i);
    }
  }
  return scan;
}

}  // namespace ornivale
