#include "forms/stats/grid_navigator.h"

#include <algorithm>
#include <vector>

#include "core/text/grouped_digits.h"

namespace lv {
namespace {

std::vector<GridNavigator*>& Registered() {
    static std::vector<GridNavigator*> navigators;
    return navigators;
}

}  // namespace

QString FilterNoteText(const std::string& condition, uint64_t shown, uint64_t total) {
    return QStringLiteral("絞り込み中：%1（%2）")
        .arg(QString::fromStdString(condition),
             QString::fromStdString(CaseCountText(shown, total)));
}

GridNavigator* CurrentGridNavigator() {
    return Registered().empty() ? nullptr : Registered().back();
}

void RegisterGridNavigator(GridNavigator* navigator) {
    Registered().push_back(navigator);
}

void UnregisterGridNavigator(GridNavigator* navigator) {
    std::erase(Registered(), navigator);
}

}  // namespace lv
