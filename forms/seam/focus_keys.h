// Keys that reach every button from the keyboard, in every window:
// - Enter presses the push or tool button with the focus, as Space does (Qt
//   presses a focused push button with Enter only in a dialog, and a tool
//   button never);
// - Ctrl+Tab and Ctrl+Shift+Tab leave a table that keeps Tab for moving
//   between its cells (the data grid), to the next or previous widget in
//   the window's Tab order;
// - a button the keyboard reached draws a ring inside its edge, the
//   default button too (whose highlight alone looks the same with the
//   focus and without).
#pragma once

class QApplication;

namespace lv {

// Watches every key press of the application from now on, and draws its
// buttons with the ring.
void InstallFocusKeys(QApplication* application);

}  // namespace lv
