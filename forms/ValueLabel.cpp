#include "forms/ValueLabel.h"

TfrmValue::TfrmValue(QWidget* parent) : QDialog(parent) {}
