// A recording double of the dialog seam for tests: scripted answers for the
// file dialogs and the confirmation, every message, error and question
// recorded.
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/state/dialogs.h"

namespace testsupport {

class RecordingDialogs : public lv::Dialogs {
  public:
    // Answers of the open dialog, in order; when none is left it is cancelled.
    std::deque<std::optional<std::string>> openAnswers;
    // (filter, initial name) of every open dialog shown.
    std::vector<std::pair<std::string, std::string>> openRequests;
    // Answers of the save dialogs with file types, in order; none left = cancelled.
    std::deque<std::optional<lv::SaveChoice>> saveAsAnswers;
    // (filter, initial name) of every such dialog shown.
    std::vector<std::pair<std::string, std::string>> saveAsRequests;
    std::vector<std::string> messages;
    std::vector<std::pair<std::string, std::string>> errors;  // caption, text
    int beeps = 0;

    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
    void ShowError(std::string_view caption, std::string_view text) override {
        errors.emplace_back(caption, text);
    }
    std::optional<std::string> OpenFile(std::string_view filter,
                                        std::string_view initialName) override {
        openRequests.emplace_back(filter, initialName);
        if (openAnswers.empty()) return std::nullopt;
        std::optional<std::string> answer = openAnswers.front();
        openAnswers.pop_front();
        return answer;
    }
    // Answers of the plain save dialog, in order; none left = cancelled.
    std::deque<std::optional<std::string>> saveAnswers;
    std::optional<std::string> SaveFile(std::string_view) override {
        if (saveAnswers.empty()) return std::nullopt;
        std::optional<std::string> answer = saveAnswers.front();
        saveAnswers.pop_front();
        return answer;
    }
    std::optional<lv::SaveChoice> SaveFileAs(std::string_view filter,
                                             std::string_view initialName) override {
        saveAsRequests.emplace_back(filter, initialName);
        if (saveAsAnswers.empty()) return std::nullopt;
        std::optional<lv::SaveChoice> answer = saveAsAnswers.front();
        saveAsAnswers.pop_front();
        return answer;
    }
    // Answers of the confirmation, in order; none left = Cancel. Its texts.
    std::deque<lv::ConfirmAnswer> confirmAnswers;
    std::vector<std::string> confirms;
    lv::ConfirmAnswer Confirm(std::string_view, std::string_view text) override {
        confirms.emplace_back(text);
        if (confirmAnswers.empty()) return lv::ConfirmAnswer::Cancel;
        const lv::ConfirmAnswer answer = confirmAnswers.front();
        confirmAnswers.pop_front();
        return answer;
    }
    void Beep() override { ++beeps; }
    // Answers of the password dialog, in order; none left = cancelled.
    std::deque<std::optional<std::string>> passwordAnswers;
    // (path, wrong) of every password dialog shown.
    std::vector<std::pair<std::string, bool>> passwordRequests;
    std::optional<std::string> AskPassword(std::string_view path, bool wrong) override {
        passwordRequests.emplace_back(path, wrong);
        if (passwordAnswers.empty()) return std::nullopt;
        std::optional<std::string> answer = passwordAnswers.front();
        passwordAnswers.pop_front();
        return answer;
    }
};

// Installs a RecordingDialogs for the lifetime of the object.
class ScopedRecordingDialogs : public RecordingDialogs {
  public:
    ScopedRecordingDialogs() : previous_(lv::SetDialogs(this)) {}
    ~ScopedRecordingDialogs() override { lv::SetDialogs(previous_); }

  private:
    lv::Dialogs* previous_;
};

}  // namespace testsupport
