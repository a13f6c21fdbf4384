#include "forms/windowrefs.h"

TForm1* Form1 = nullptr;
TfrmVariable* frmVariable = nullptr;
TfrmValue* frmValue = nullptr;
TfrmDPGrid* frmDPGrid = nullptr;
