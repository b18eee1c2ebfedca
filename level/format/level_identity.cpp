#include "level/format/level_identity.h"

namespace ornivale {
namespace {

// FNV-1a, 64 bits: a fingerprint, not a defence against forgery.
class Fingerprint {
 public:
  template <std::size_t N>
  void Add(const std::array<uint8_t, N>& bytes) {
    for (uint8_t byte : bytes) hash_ = (hash_ ^ byte) * 0x100000001b3u;
  }
  uint64_t value() const { return hash_; }

 private:
  uint64_t hash_ = 0xcbf29ce484222325u;
};

}  // namespace

LevelIdentity IdentityOf(const LevelState& state) {
  const LevelScan& scan = state.scan;
  Fingerprint print;
  print.Add(scan.header.LevelVersion.Raw);
  for (const WordField& count : scan.header.TexCounts) print.Add(count.Raw);
  for (const TextureChunk& chunk : scan.header.Chunks) {
    print.Add(chunk.UnpackedSize.Raw);
    print.Add(chunk.PackedSize.Raw);
  }
  std::array<uint8_t, 8> offset{};
  for (std::size_t i = 0; i < offset.size(); ++i) {
    offset[i] = static_cast<uint8_t>(static_cast<uint64_t>(scan.flags_offset) >> (8 * i));
  }
  print.Add(offset);
  for (const DwordField& size : scan.level_data_sizes) print.Add(size.Raw);

  LevelIdentity identity;
  identity.volume = state.stamp.volume;
  identity.index = state.stamp.index;
  identity.fingerprint = print.value();
  identity.modified = state.stamp.modified;
  identity.size = state.stamp.size;
  identity.born = state.stamp.born;
  return identity;
}

}  // namespace ornivale
