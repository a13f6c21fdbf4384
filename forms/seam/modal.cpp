#include "forms/seam/modal.h"

#include <QDialog>

namespace lv {
namespace {

ModalShowFunction& Replacement() {
    static ModalShowFunction show;
    return show;
}

}  // namespace

int ShowModal(QDialog& dialog) {
    if (Replacement()) return Replacement()(dialog);
    return dialog.exec();
}

ModalShowFunction SetModalShowFunction(ModalShowFunction show) {
    ModalShowFunction previous = std::move(Replacement());
    Replacement() = std::move(show);
    return previous;
}

}  // namespace lv
