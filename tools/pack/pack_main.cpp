// Packs every file of a folder into an asset archive: fenwhit_pack <folder> <archive>.
// Only .png and .ogg files are packed; notes and generators beside them stay out.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "app/archive_writer.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: fenwhit_pack <asset folder> <archive>\n");
    return 2;
  }
  std::vector<fenwhit::ArchiveEntry> entries;
  try {
    for (auto& entry : fenwhit::CollectAssetFolder(argv[1])) {
      const std::string extension = std::filesystem::path(entry.name).extension().string();
      if (extension == ".png" || extension == ".ogg") entries.push_back(std::move(entry));
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "fenwhit_pack: cannot read %s: %s\n", argv[1], error.what());
    return 1;
  }
  const auto bytes = fenwhit::BuildArchive(entries);
  const std::string temporary = std::string(argv[2]) + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "fenwhit_pack: cannot write %s\n", temporary.c_str());
      return 1;
    }
  }
  std::filesystem::rename(temporary, argv[2]);
  return 0;
}
