// The application's general error handler and the wrapper every event
// handler runs through, so that no exception ever crosses Qt's event loop.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace lv {

// The application's title: the program file's name without its folder, cut
// before its first ".", every character after the first lower-cased.
std::string ApplicationTitle(std::string_view programPath);

// The error box's text: message, with "." appended when its last byte is above '.'.
std::string ErrorBoxText(std::string_view message);

// Shows message in the error box (through the dialog seam), captioned with
// the application's title.
void ShowApplicationError(std::string_view message);

// Runs an event handler's body; any exception it throws ends the handler and
// is shown by the general error handler.
void RunHandler(const std::function<void()>& body);

}  // namespace lv
