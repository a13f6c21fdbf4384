#include "forms/seam/encoding_follow.h"

#include <QAbstractItemModel>
#include <QObject>

#include "core/text/display_encoding.h"

namespace lv {
namespace {

// Lives as a child of the window, so the listener ends with it.
class EncodingFollower : public QObject {
  public:
    EncodingFollower(QObject* owner, std::function<void()> redecode)
        : QObject(owner), listener_(std::move(redecode)) {}

  private:
    DisplayEncodingListener listener_;
};

// The column headers and the cells; the row headers hold no file texts.
void ReportAllChanged(QAbstractItemModel* model) {
    const int rows = model->rowCount(), columns = model->columnCount();
    if (columns > 0) emit model->headerDataChanged(Qt::Horizontal, 0, columns - 1);
    if (rows > 0 && columns > 0)
        emit model->dataChanged(model->index(0, 0), model->index(rows - 1, columns - 1),
                                {Qt::DisplayRole, Qt::EditRole});
}

}  // namespace

void FollowDisplayEncoding(QObject* owner, std::function<void()> redecode) {
    new EncodingFollower(owner, std::move(redecode));
}

void FollowDisplayEncoding(QAbstractItemModel* model) {
    FollowDisplayEncoding(model, [model] { ReportAllChanged(model); });
}

}  // namespace lv
