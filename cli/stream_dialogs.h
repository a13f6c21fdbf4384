// The dialog seam of the command-line tool: every message the windows would
// show in a box goes to standard error, one per line (cli/tool_messages.h),
// the program's own messages in their English wording. Dialogs that ask the
// user answer as a cancelled dialog would.
#pragma once

#include <cstdio>
#include <exception>

#include "core/state/dialogs.h"

namespace lv::cli {

class StreamDialogs final : public lv::Dialogs {
  public:
    explicit StreamDialogs(std::FILE* out) : out_(out) {}

    void ShowMessage(std::string_view text) override;
    void ShowError(std::string_view caption, std::string_view text) override;
    void Tell(const lv::Message& message) override;
    void TellError(std::string_view caption, const lv::Message& message) override;
    // An error caught from the core, as the general error handler's box
    // would show it.
    void Report(const std::exception& error);
    std::optional<std::string> OpenFile(std::string_view, std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> SaveFile(std::string_view) override { return std::nullopt; }
    lv::ConfirmAnswer Confirm(std::string_view, std::string_view) override {
        return lv::ConfirmAnswer::Cancel;
    }
    void Beep() override {}

    // Whether any message was shown since the last Reset.
    bool reported() const { return reported_; }
    void Reset() { reported_ = false; }
    // While muted, messages are counted but not written.
    void SetMuted(bool muted) { muted_ = muted; }

  private:
    void Line(std::string_view text);

    std::FILE* out_;
    bool reported_ = false;
    bool muted_ = false;
};

}  // namespace lv::cli
