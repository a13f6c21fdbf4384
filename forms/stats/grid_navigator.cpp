#include "forms/stats/grid_navigator.h"

#include <algorithm>
#include <vector>

namespace lv {
namespace {

std::vector<GridNavigator*>& Registered() {
    static std::vector<GridNavigator*> navigators;
    return navigators;
}

}  // namespace

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
