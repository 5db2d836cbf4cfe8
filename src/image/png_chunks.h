#pragma once
// Splitting the file into CRC-checked chunks and reading the header, palette and tRNS chunks.
#include <optional>
#include <vector>

#include "image/png_format.h"

namespace fenwhit::png {

inline constexpr size_t kMinimumFileSize = 49;
bool HasSignature(const uint8_t* data, size_t size);

// Every chunk after the signature, each CRC-checked; the last must be IEND.
std::optional<std::vector<PngChunk>> ReadChunkList(const uint8_t* data, size_t size);

std::optional<PngHeader> ReadHeader(const std::vector<PngChunk>& chunks);

// Only meaningful for palette images: the first PLTE chunk, required there.
std::optional<Palette> ReadPalette(const std::vector<PngChunk>& chunks);

// The first tRNS chunk, checked against the colour type; absent is fine.
std::optional<Transparency> ReadTransparency(const std::vector<PngChunk>& chunks,
                                             const PngHeader& header);

}  // namespace fenwhit::png
