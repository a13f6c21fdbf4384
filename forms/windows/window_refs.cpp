#include "forms/windows/window_refs.h"

#include "forms/windows/DPGrid.h"
#include "forms/windows/file_info.h"
#include "forms/windows/spssfile.h"
#include "forms/windows/vardisp.h"

namespace lv {

TForm1* Form1 = nullptr;
TfrmVariable* frmVariable = nullptr;
TfrmValue* frmValue = nullptr;
TfrmDPGrid* frmDPGrid = nullptr;
TfrmFileInfo* frmFileInfo = nullptr;

void DestroyWindows() {
    delete frmDPGrid;
    frmDPGrid = nullptr;
    delete frmVariable;
    frmVariable = nullptr;
    delete frmFileInfo;
    frmFileInfo = nullptr;
    delete Form1;
    Form1 = nullptr;
}

}  // namespace lv
