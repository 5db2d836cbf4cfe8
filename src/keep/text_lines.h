#pragma once
// The lines of a kept file's text, one at a time, without their line ends (LF, CR LF) and
// numbered from 1 for the messages about them.
#include <string>
#include <string_view>

namespace fenwhit {

class TextLines {
 public:
  explicit TextLines(std::string_view text) : text_(text) {}

  // Takes the next line; false when there is none left.
  bool Next(std::string_view& line) {
    if (start_ >= text_.size()) return false;
    const size_t newline = text_.find('\n', start_);
    const size_t end = newline == std::string_view::npos ? text_.size() : newline;
    line = text_.substr(start_, end - start_);
    // A file edited on another system may end its lines with CR LF. Every CR at the end
    // goes, so that a line written back reads again the same.
    while (line.ends_with('\r')) line.remove_suffix(1);
    start_ = end + 1;
    ++number_;
    return true;
  }
  int Number() const { return number_; }
  // "line N: ", to put before what is wrong with it.
  std::string Where() const { return "line " + std::to_string(number_) + ": "; }

 private:
  std::string_view text_;
  size_t start_ = 0;
  int number_ = 0;
};

}  // namespace fenwhit
