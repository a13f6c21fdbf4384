#include "pdf/gui_for_drawing.h"

#include <QGuiApplication>
#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace lv {

GuiForDrawing::GuiForDrawing() {
    if (QCoreApplication::instance()) return;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    // QGuiApplication keeps a reference to argc for its whole life.
    static int argc = 1;
    static char name[] = "lorivane-dump";
    static char* argv[] = {name, nullptr};
    // Qt's own notes (a missing runtime folder, a font it substitutes) are
    // not the tool's messages: only its fatal ones pass.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtFatalMsg) std::fprintf(stderr, "%s\n", qUtf8Printable(text));
    });
    app_ = std::make_unique<QGuiApplication>(argc, argv);
    // Qt takes the whole locale from the environment; the tool's numbers
    // keep the C locale's point (its decimal separator is its own choice).
    std::setlocale(LC_NUMERIC, "C");
}

GuiForDrawing::~GuiForDrawing() = default;

}  // namespace lv
