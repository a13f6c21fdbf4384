// Whether a text a user sees matches what the user typed: a part of it, or
// the whole text without its padding blanks; with or without regard to
// case (Unicode simple case folding, so full-width and accented letters
// fold as well).
#pragma once

#include <string>
#include <string_view>

namespace lv {

struct FindOptions {
    bool matchCase = false;
    bool wholeCell = false;
};

class TextMatcher {
  public:
    // query: UTF-8, as typed.
    TextMatcher(std::string_view query, FindOptions options);

    bool empty() const { return query_.empty(); }
    // bytes: a text in the file's bytes (decoded as the windows decode it).
    bool Matches(std::string_view bytes) const;
    // text: already UTF-8.
    bool MatchesShown(std::string_view text) const;

  private:
    bool MatchesFolded(std::string_view text) const;

    FindOptions options_;
    std::string query_;  // folded unless matchCase
    bool asciiQuery_ = true;
    bool trimmable_ = false;  // neither starts nor ends with a blank
    mutable std::string scratch_;
    mutable std::string folded_;
};

// text (UTF-8) with every letter in its lower-case form.
std::string FoldCase(std::string_view text);

// text without blanks at either end (the padding of a cell).
std::string_view WithoutPadding(std::string_view text);

}  // namespace lv
