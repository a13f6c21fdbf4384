// The one place where the program shows a dialog modally. Tests replace it
// to record the dialog and return at once (nobody can press OK inside exec()).
#pragma once

#include <functional>

class QDialog;

namespace lv {

using ModalShowFunction = std::function<int(QDialog&)>;

// Shows dialog modally and returns its result (QDialog::exec() unless replaced).
int ShowModal(QDialog& dialog);

// Replaces the modal show; an empty function restores QDialog::exec().
// Returns the previous replacement (empty when exec() was in force).
ModalShowFunction SetModalShowFunction(ModalShowFunction show);

}  // namespace lv
