// The encoding the windows decode the current file's texts with, beside the
// conversions themselves (encoding/codec.h), which every user of this header
// also gets.
#pragma once

#include <functional>
#include <string>

#include "encoding/codec.h"

namespace lv {

// The encoding of the file most recently summarised (set by the summary).
// "UTF-8" at start.
const std::string& CurrentFileEncoding();
void SetCurrentFileEncoding(std::string encoding);

// The user's choice of encoding for the file's texts (an iconv name), or
// empty for the detected one. It changes only how texts are decoded for
// display: the texts themselves stay the file's bytes.
const std::string& ChosenDisplayEncoding();
// Sets the choice and, when it differs from the one before, calls every
// DisplayEncodingListener.
void ChooseDisplayEncoding(std::string encoding);

// What the file's texts are decoded with: the choice, else the detected
// encoding.
const std::string& DisplayEncoding();

// Calls onChange after each change of the choice, for as long as it lives
// (a window keeps one to decode its texts again).
class DisplayEncodingListener {
  public:
    explicit DisplayEncodingListener(std::function<void()> onChange);
    ~DisplayEncodingListener();
    DisplayEncodingListener(const DisplayEncodingListener&) = delete;
    DisplayEncodingListener& operator=(const DisplayEncodingListener&) = delete;

  private:
    friend void ChooseDisplayEncoding(std::string encoding);
    std::function<void()> onChange_;
};

}  // namespace lv
