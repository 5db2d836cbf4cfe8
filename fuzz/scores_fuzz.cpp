// Feeds arbitrary bytes to the best-scores parser. Whatever it accepts must write back and
// read again as the very same tables, and never as more than ten entries a kind.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "keep/scores.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::string why;
  const std::optional<fenwhit::ScoreTables> tables = fenwhit::ParseScores(text, why);
  if (!tables) {
    if (why.empty()) std::abort();  // a refusal always says why
    return 0;
  }
  // A table read is never one of a newer version's.
  if (fenwhit::WrittenByANewerVersion(text)) std::abort();
  for (const auto& table : tables->kinds) {
    if (table.size() > size_t{fenwhit::kTableSize}) std::abort();
    for (size_t i = 1; i < table.size(); ++i) {
      if (table[i - 1].score < table[i].score) std::abort();
    }
  }
  const std::optional<fenwhit::ScoreTables> again =
      fenwhit::ParseScores(fenwhit::FormatScores(*tables), why);
  if (!again || *again != *tables) std::abort();
  return 0;
}
