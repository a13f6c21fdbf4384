#include "forms/seam/error_handler.h"

#include <QCoreApplication>
#include <exception>

#include "core/state/dialogs.h"

namespace lv {

std::string ApplicationTitle(std::string_view programPath) {
    const size_t slash = programPath.find_last_of('/');
    std::string_view name =
        slash == std::string_view::npos ? programPath : programPath.substr(slash + 1);
    name = name.substr(0, name.find('.'));
    std::string title(name);
    for (size_t i = 1; i < title.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(title[i]);
        if (c >= 'A' && c <= 'Z') title[i] = static_cast<char>(c - 'A' + 'a');
    }
    return title;
}

std::string ErrorBoxText(std::string_view message) {
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') {
        // The last character's first byte decides; for a multi-byte UTF-8
        // character that is its lead byte, which is always above '.'.
        text += '.';
    }
    return text;
}

void ShowApplicationError(std::string_view message) {
    std::string program = QCoreApplication::instance()
                              ? QCoreApplication::applicationFilePath().toStdString()
                              : std::string("lorivane");
    CurrentDialogs().ShowError(ApplicationTitle(program), ErrorBoxText(message));
}

void RunHandler(const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& e) {
        ShowApplicationError(e.what());
    } catch (...) {
        ShowApplicationError("unknown error");
    }
}

}  // namespace lv
