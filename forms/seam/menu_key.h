// Shift+F10 opens the context menu of the widget with the focus, as the Menu
// key does (Qt turns only the Menu key into a context-menu request).
#pragma once

class QObject;

namespace lv {

// Watches every key press of the application from now on.
void InstallShiftF10ContextMenus(QObject* application);

}  // namespace lv
