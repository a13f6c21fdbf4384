// The fonts and the text layout of Qt's painting need a QGuiApplication. A
// program without windows (the tool) makes one for as long as it draws, on
// the offscreen platform unless the user chose a platform (QT_QPA_PLATFORM),
// so that it also runs without a display.
#pragma once

#include <memory>

class QGuiApplication;

namespace lv {

class GuiForDrawing {
  public:
    // Makes the application unless one exists.
    GuiForDrawing();
    ~GuiForDrawing();
    GuiForDrawing(const GuiForDrawing&) = delete;
    GuiForDrawing& operator=(const GuiForDrawing&) = delete;

  private:
    std::unique_ptr<QGuiApplication> app_;
};

}  // namespace lv
