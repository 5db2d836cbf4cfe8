#include "songs/song_tags.h"

#include <sndfile.h>

namespace fenwhit {

namespace {

// A tag's text, cut to the bound and with no control bytes (it is drawn and printed).
std::string Tag(SNDFILE* file, int which) {
  const char* text = sf_get_string(file, which);
  std::string tag;
  if (text == nullptr) return tag;
  for (size_t i = 0; text[i] != '\0' && tag.size() < kMaxTagBytes; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x20 && byte != 0x7f) tag += text[i];
  }
  const size_t last = tag.find_last_not_of(' ');
  tag.erase(last == std::string::npos ? 0 : last + 1);
  return tag;
}

}  // namespace

std::string SongFileTitle(std::string_view path) {
  const size_t slash = path.find_last_of('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string_view::npos && dot > 0) name = name.substr(0, dot);
  return std::string(name.substr(0, kMaxTagBytes));
}

SongTags ReadSongTags(const std::string& path) {
  SongTags tags;
  SF_INFO info{};
  if (SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info)) {
    tags.title = Tag(file, SF_STR_TITLE);
    tags.artist = Tag(file, SF_STR_ARTIST);
    sf_close(file);
  }
  if (tags.title.empty()) tags.title = SongFileTitle(path);
  return tags;
}

}  // namespace fenwhit
