// Text read from disk to be shown: well-formed UTF-8 passes whole, anything a terminal or
// the menu would take for something else does not.
#include "common/utf8_text.h"

#include <gtest/gtest.h>

namespace fenwhit {
namespace {

TEST(Utf8Text, TakesShownCharactersAndNothingElse) {
  const struct {
    std::string_view text;
    size_t bytes;  // of the first character
  } cases[] = {
      {"a", 1},
      {" ", 1},
      {"~", 1},
      {"\xc2\xa0", 2},          // no-break space, the first after the C1 controls
      {"\xdf\xbf", 2},          // U+07FF
      {"\xe0\xa0\x80", 3},      // U+0800
      {"\xef\xbf\xbd", 3},      // the replacement character
      {"\xf0\x90\x80\x80", 4},  // U+10000
      {"\xf4\x8f\xbf\xbf", 4},  // U+10FFFF, the last
      {std::string_view("\0", 1), 0},
      {"\t", 0},
      {"\x1b", 0},
      {"\x7f", 0},
      {"\xc2\x80", 0},  // C1 controls
      {"\xc2\x9f", 0},
      {"\xc0\xaf", 0},  // overlong forms
      {"\xc1\xbf", 0},
      {"\xe0\x9f\xbf", 0},
      {"\xf0\x8f\xbf\xbf", 0},
      {"\xed\xa0\x80", 0},      // a surrogate
      {"\xf4\x90\x80\x80", 0},  // past U+10FFFF
      {"\xf5\x80\x80\x80", 0},
      {"\x80", 0},      // a continuation alone
      {"\xe2\x99", 0},  // cut short
      {"\xe2\x99"
       "a",
       0},
      {"\xf0\x9f\x8e", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShownCharacterBytes(c.text, 0), c.bytes) << testing::PrintToString(c.text);
  }
  EXPECT_EQ(ShownCharacterBytes("ab", 2), 0u);
  EXPECT_TRUE(IsShownUtf8(""));
  EXPECT_TRUE(
      IsShownUtf8("Stra\xc3\x9f"
                  "e \xe2\x99\xab \xf0\x9f\x8e\xb5!"));
  EXPECT_FALSE(
      IsShownUtf8("Stra\xc3\x9f"
                  "e\n"));
  EXPECT_FALSE(IsShownUtf8("ok\xc3"));
}

}  // namespace
}  // namespace fenwhit
