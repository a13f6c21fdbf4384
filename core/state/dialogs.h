// The seam between the program and its modal user interaction: message
// boxes, the error box, file dialogs, the Yes/No/Cancel confirmation and the
// beep. The Qt layer installs an implementation that shows real dialogs; tests
// install a recording double; the command-line tool writes messages to stderr.
// Texts are UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/state/message.h"

namespace lv {

enum class ConfirmAnswer { Yes, No, Cancel };

// A confirmed save dialog that offered several file types: the path and the
// 0-based entry of the filter that was chosen.
struct SaveChoice {
    std::string path;
    int filterIndex = 0;
};

class Dialogs {
  public:
    virtual ~Dialogs() = default;
    // A modal message box with one text and an OK button.
    virtual void ShowMessage(std::string_view text) = 0;
    // The general error handler's error box (stop icon, OK button).
    virtual void ShowError(std::string_view caption, std::string_view text) = 0;
    // The same for one of the program's own messages: by default its
    // Japanese text in the box; the tool words it in English.
    virtual void Tell(const Message& message);
    virtual void TellError(std::string_view caption, const Message& message);
    // File-open dialog. Returns the confirmed path, or nothing when cancelled.
    // filter is "description|pattern pattern..." entries separated by '|'.
    virtual std::optional<std::string> OpenFile(std::string_view filter,
                                                std::string_view initialName) = 0;
    // File-save dialog. Returns the confirmed path, or nothing when cancelled.
    virtual std::optional<std::string> SaveFile(std::string_view initialName) = 0;
    // File-save dialog offering the entries of filter (as OpenFile's). By
    // default the plain save dialog, its answer taken as the first entry.
    virtual std::optional<SaveChoice> SaveFileAs(std::string_view filter,
                                                 std::string_view initialName) {
        (void)filter;
        std::optional<std::string> path = SaveFile(initialName);
        if (!path) return std::nullopt;
        return SaveChoice{*path, 0};
    }
    // The question box with Yes (default), No and Cancel (also Escape).
    virtual ConfirmAnswer Confirm(std::string_view caption, std::string_view text) = 0;
    // The system beep.
    virtual void Beep() = 0;
    // The password dialog (パスワード) for the encrypted file at path; wrong
    // says that the password given last did not open it. The password
    // typed, or nothing when cancelled (as by default).
    virtual std::optional<std::string> AskPassword(std::string_view path, bool wrong) {
        (void)path;
        (void)wrong;
        return std::nullopt;
    }
};

// The implementation in force. Never null: until one is installed, a silent
// implementation answers (messages dropped, dialogs cancelled).
Dialogs& CurrentDialogs();
// Installs d (not owned) and returns the previous one; nullptr restores the silent one.
Dialogs* SetDialogs(Dialogs* d);

}  // namespace lv
