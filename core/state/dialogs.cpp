#include "core/state/dialogs.h"

#include "core/state/japanese_messages.h"

namespace lv {
namespace {

class SilentDialogs final : public Dialogs {
  public:
    void ShowMessage(std::string_view) override {}
    void ShowError(std::string_view, std::string_view) override {}
    std::optional<std::string> OpenFile(std::string_view, std::string_view) override {
        return std::nullopt;
    }
    std::optional<std::string> SaveFile(std::string_view) override { return std::nullopt; }
    ConfirmAnswer Confirm(std::string_view, std::string_view) override {
        return ConfirmAnswer::Cancel;
    }
    void Beep() override {}
};

SilentDialogs silent;
Dialogs* current = &silent;

}  // namespace

void Dialogs::Tell(const Message& message) {
    ShowMessage(JapaneseText(message));
}

void Dialogs::TellError(std::string_view caption, const Message& message) {
    ShowError(caption, JapaneseText(message));
}

Dialogs& CurrentDialogs() {
    return *current;
}

Dialogs* SetDialogs(Dialogs* d) {
    Dialogs* previous = current == &silent ? nullptr : current;
    current = d ? d : &silent;
    return previous;
}

}  // namespace lv
