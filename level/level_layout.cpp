#include "level/level_layout.h"

#include <string>

#include "level/level_error.h"

namespace ornivale {
namespace {

// Runs one read of the layout and names the part of the level it was
// reading if the file ends there.
template <typename Read>
auto ReadPart(const std::string& part, Read read) -> decltype(read()) {
  try {
    return read();
  } catch (const EndOfFileError&) {
    throw EndOfFileError(part);
  }
}

}  // namespace

void ReadLevelVersion(FileChannel& channel, LevelHeader& header) {
  header.LevelVersion =
      ReadPart("its version", [&] { return ReadDword(channel); });
}

int64_t PassTextures(FileChannel& channel, LevelHeader& header) {
  for (WordField& count : header.TexCounts) {
    count = ReadPart("its texture counts", [&] { return ReadWord(channel); });
  }
  for (std::size_t i = 0; i < header.Chunks.size(); ++i) {
    const std::string block = "texture block " + std::to_string(i + 1);
    TextureChunk& chunk = header.Chunks[i];
    ReadPart("the header of " + block, [&] {
      chunk.UnpackedSize = ReadDword(channel);
      chunk.PackedSize = ReadDword(channel);
    });
    if (chunk.PackedSize.Value > 0) {
      ReadPart(block, [&] { channel.Skip(chunk.PackedSize.Value); });
    }
  }
  return channel.GetChannelPos();
}

}  // namespace ornivale
