// The buttons' pictures, drawn at run time at the size the screen needs:
// each has a normal picture and a grey outline for the disabled state.
#pragma once

#include <QIcon>

namespace lv {

QIcon OpenFolderIcon();  // 16 x 16 open yellow folder
QIcon CheckMarkIcon();   // 18 x 18 green check mark

}  // namespace lv
