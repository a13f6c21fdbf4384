// The dialogs a benchmark answers by itself: messages go to stderr, a file
// to open or to save is the one set beforehand, and every question gets
// the same answer.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "core/state/dialogs.h"

namespace bench {

class BenchDialogs final : public lv::Dialogs {
  public:
    std::optional<std::string> openPath, savePath;
    lv::ConfirmAnswer answer = lv::ConfirmAnswer::Cancel;

    void ShowMessage(std::string_view t) override {
        std::fprintf(stderr, "message: %.*s\n", int(t.size()), t.data());
    }
    void ShowError(std::string_view, std::string_view t) override { ShowMessage(t); }
    std::optional<std::string> OpenFile(std::string_view, std::string_view) override {
        return openPath;
    }
    std::optional<std::string> SaveFile(std::string_view) override { return savePath; }
    lv::ConfirmAnswer Confirm(std::string_view, std::string_view) override { return answer; }
    void Beep() override {}
};

}  // namespace bench
