#include "app/archive_writer.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/archive.h"

namespace fenwhit {

namespace {

void PutInt32(std::vector<uint8_t>& out, int64_t value) {
  const uint32_t v = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

}  // namespace

std::vector<uint8_t> BuildArchive(const std::vector<ArchiveEntry>& entries) {
  size_t tableEnd = 16;
  for (const auto& entry : entries) tableEnd += 12 + entry.name.size();

  std::vector<uint8_t> out(kArchiveSignature, kArchiveSignature + kArchiveSignatureLength);
  PutInt32(out, static_cast<int64_t>(entries.size()) - 1);
  size_t dataOffset = tableEnd;
  for (const auto& entry : entries) {
    PutInt32(out, static_cast<int64_t>(dataOffset) + 1);  // positions count from 1
    PutInt32(out, static_cast<int64_t>(entry.data.size()));
    PutInt32(out, static_cast<int64_t>(entry.name.size()));
    out.insert(out.end(), entry.name.begin(), entry.name.end());
    dataOffset += entry.data.size();
  }
  for (const auto& entry : entries) out.insert(out.end(), entry.data.begin(), entry.data.end());
  return out;
}

std::vector<ArchiveEntry> CollectAssetFolder(const std::string& folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& item : std::filesystem::directory_iterator(folder)) {
    if (item.is_regular_file()) files.push_back(item.path());
  }
  std::sort(files.begin(), files.end());
  std::vector<ArchiveEntry> entries;
  for (const auto& path : files) {
    std::ifstream in(path, std::ios::binary);
    ArchiveEntry entry;
    entry.name = "data\\" + path.filename().string();
    entry.data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace fenwhit
