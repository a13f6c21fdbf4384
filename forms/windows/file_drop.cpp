#include "forms/windows/file_drop.h"

#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include "forms/seam/error_handler.h"
#include "forms/seam/progress_dialog.h"
#include "forms/windows/spssfile.h"
#include "forms/windows/window_refs.h"

namespace lv {
namespace {

bool IsDataFileName(const QString& name) {
    return name.endsWith(QStringLiteral(".sav"), Qt::CaseInsensitive) ||
           name.endsWith(QStringLiteral(".zsav"), Qt::CaseInsensitive);
}

// The open runs after the drop has been delivered: it destroys the variable
// list and the grid, which may be the very window that received the drop.
// The queued open may come due inside a progress dialog's Step; it then
// waits for the work to end, which may be reading the windows it destroys.
void OpenInMainWindow(const std::string& path) {
    if (!Form1) return;
    QTimer::singleShot(0, Form1, [path] {
        RunAfterLongWork(Form1, [path] {
            if (!Form1) return;
            RunHandler([&path] {
                Form1->OpenChosenFile(path);
                Form1->raise();
                Form1->activateWindow();
            });
        });
    });
}

class DataFileDropFilter final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDragMoveEvent*>(event);
                if (!DroppedDataFile(drag->mimeData())) break;
                drag->acceptProposedAction();
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                const std::optional<std::string> path = DroppedDataFile(drop->mimeData());
                if (!path) break;
                drop->acceptProposedAction();
                OpenInMainWindow(*path);
                return true;
            }
            default:
                break;
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

std::optional<std::string> DroppedDataFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return std::nullopt;
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return std::nullopt;
    const QString path = urls.front().toLocalFile();
    if (!IsDataFileName(path)) return std::nullopt;
    return QFile::encodeName(path).toStdString();
}

void AcceptDataFileDrops(QWidget* window) {
    auto* filter = new DataFileDropFilter(window);
    window->setAcceptDrops(true);
    window->installEventFilter(filter);
    // Children that take drops of their own see the drag before the window.
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (child->acceptDrops()) child->installEventFilter(filter);
    }
}

}  // namespace lv
