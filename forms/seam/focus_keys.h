// Keys that reach every button from the keyboard, in every window:
// - Enter presses the push or tool button with the focus, as Space does (Qt
//   presses a focused push button with Enter only in a dialog, and a tool
//   button never);
// - Ctrl+Tab and Ctrl+Shift+Tab leave a table that keeps Tab for moving
//   between its cells (the data grid), to the next or previous widget in
//   the window's Tab order.
#pragma once

class QObject;

namespace lv {

// Watches every key press of the application from now on.
void InstallFocusKeys(QObject* application);

}  // namespace lv
