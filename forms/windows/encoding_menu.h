// The 文字コード submenu: the encoding the windows decode the file's texts
// with, 自動 (the detected one) or one of lv::EncodingChoices().
#pragma once

class QMenu;

namespace lv {

// Adds the submenu to menu: radio items with the current choice checked;
// choosing one sets lv::ChooseDisplayEncoding, which every window follows.
QMenu* AddEncodingMenu(QMenu& menu);

}  // namespace lv
