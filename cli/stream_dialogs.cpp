#include "cli/stream_dialogs.h"

namespace lv::cli {

void StreamDialogs::Line(std::string_view text) {
    reported_ = true;
    if (muted_) return;
    std::fwrite(text.data(), 1, text.size(), out_);
    std::fputc('\n', out_);
    std::fflush(out_);
}

void StreamDialogs::ShowMessage(std::string_view text) {
    Line(text);
}

void StreamDialogs::ShowError(std::string_view, std::string_view text) {
    Line(text);
}

}  // namespace lv::cli
