// How a window follows the choice of encoding: it decodes the texts it
// shows again, from the bytes it kept, whenever the choice changes.
#pragma once

#include <functional>

class QAbstractItemModel;
class QObject;

namespace lv {

// Runs redecode after each change of lv::ChosenDisplayEncoding(), for as
// long as owner lives.
void FollowDisplayEncoding(QObject* owner, std::function<void()> redecode);

// For a model that decodes its texts when asked for them: after each change
// every header and cell is reported changed, so its views ask again.
void FollowDisplayEncoding(QAbstractItemModel* model);

}  // namespace lv
