#include "forms/DPGrid.h"

TfrmDPGrid::TfrmDPGrid(QWidget* parent) : QWidget(parent) {}
