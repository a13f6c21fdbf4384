// A reading position in the text body of an extension record, for the
// records whose body is a small grammar (attributes, multiple-response sets,
// variable sets). Nothing is ever read past the body.
#pragma once

#include <cstddef>
#include <string_view>

namespace savio {

class TextScanner {
  public:
    explicit TextScanner(std::string_view text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    size_t pos() const { return pos_; }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
    // Consumes c when it is next.
    bool Eat(char c) {
        if (AtEnd() || text_[pos_] != c) return false;
        ++pos_;
        return true;
    }
    // The text up to the first of stops (not consumed), or to the end.
    std::string_view Until(std::string_view stops) {
        size_t end = text_.find_first_of(stops, pos_);
        if (end == std::string_view::npos) end = text_.size();
        const std::string_view out = text_.substr(pos_, end - pos_);
        pos_ = end;
        return out;
    }
    // The text up to the sequence seq, which is consumed too; false (and
    // nothing consumed) when seq does not follow.
    bool UntilSequence(std::string_view seq, std::string_view* out) {
        const size_t end = text_.find(seq, pos_);
        if (end == std::string_view::npos) return false;
        *out = text_.substr(pos_, end - pos_);
        pos_ = end + seq.size();
        return true;
    }
    // The text not read yet.
    std::string_view Rest() const { return text_.substr(pos_); }
    // Consumes n bytes (at most the rest).
    void Skip(size_t n) { pos_ += n < text_.size() - pos_ ? n : text_.size() - pos_; }
    // A decimal count of at most 9 digits.
    bool Count(size_t* n) {
        size_t digits = 0;
        size_t value = 0;
        while (!AtEnd() && text_[pos_] >= '0' && text_[pos_] <= '9' && digits < 9) {
            value = value * 10 + static_cast<size_t>(text_[pos_] - '0');
            ++pos_;
            ++digits;
        }
        *n = value;
        return digits > 0;
    }
    // Exactly n bytes.
    bool Take(size_t n, std::string_view* out) {
        if (n > text_.size() - pos_) return false;
        *out = text_.substr(pos_, n);
        pos_ += n;
        return true;
    }

  private:
    std::string_view text_;
    size_t pos_ = 0;
};

}  // namespace savio
