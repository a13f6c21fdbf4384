#include "forms/vardisp.h"

TfrmVariable::TfrmVariable(QWidget* parent) : QWidget(parent) {}
