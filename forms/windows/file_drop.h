// Dropping a .sav or .zsav file on a window opens it in the main window, as
// if it had been chosen with the open button.
#pragma once

#include <optional>
#include <string>

class QMimeData;
class QWidget;

namespace lv {

// The data file a drag carries: exactly one local file whose name ends in
// .sav or .zsav (in any case), as the file system's bytes. Nothing otherwise.
std::optional<std::string> DroppedDataFile(const QMimeData* data);

// Lets window and its children take drops of a data file. Other drags are
// left to the widgets as before (the main window's text area still takes text).
void AcceptDataFileDrops(QWidget* window);

}  // namespace lv
