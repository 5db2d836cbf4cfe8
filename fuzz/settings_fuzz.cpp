// Feeds arbitrary bytes to the settings parser. Whatever it makes of them must write back
// as a file that reads again as the same settings, with a warning only for each value it
// kept without understanding it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "keep/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> warnings;
  const fenwhit::Settings settings = fenwhit::ParseSettings(text, fenwhit::kWindowSizes, warnings);
  if (settings.screenMode < 0 || settings.screenMode >= int(fenwhit::kWindowSizes.size()) ||
      settings.volume < 0 || settings.volume > 10) {
    std::abort();
  }
  std::vector<std::string> again;
  const fenwhit::Settings reread = fenwhit::ParseSettings(
      fenwhit::FormatSettings(settings, fenwhit::kWindowSizes), fenwhit::kWindowSizes, again);
  const fenwhit::ForeignValues& foreign = settings.foreign;
  const size_t kept = size_t{foreign.screenMode.has_value()} + foreign.fullscreen.has_value() +
                      foreign.volume.has_value() + foreign.ownMusic.has_value();
  if (again.size() != kept || !(reread == settings)) std::abort();
  return 0;
}
