// Module-level references to the program's windows; null when a window does
// not exist. Each window's constructor runs its FormCreate (it is created
// hidden and fills itself once).
#pragma once

namespace lv {

class TForm1;        // spssfile.h: main window (QWidget)
class TfrmVariable;  // vardisp.h: variable list (QWidget)
class TfrmValue;     // ValueLabel.h: value labels (QDialog, shown modally with exec())
class TfrmDPGrid;    // DPGrid.h: data grid (QWidget)
class TfrmFileInfo;  // fileinfo.h: file information (QWidget), from the main window's menu

extern TForm1* Form1;
extern TfrmVariable* frmVariable;
extern TfrmValue* frmValue;
extern TfrmDPGrid* frmDPGrid;
extern TfrmFileInfo* frmFileInfo;

// Destroys the program's windows at the end of the run, the grid, the
// variable list and the file information before the main window, and sets
// the references to none.
void DestroyWindows();

}  // namespace lv
