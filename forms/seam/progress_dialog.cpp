#include "forms/seam/progress_dialog.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProgressDialog>
#include <QTimer>
#include <chrono>
#include <vector>

#include "forms/seam/error_handler.h"

namespace lv {
namespace {

constexpr int kScale = 1000;
// The dialog takes clicks at least this often while the work runs.
constexpr double kEventInterval = 0.05;

ProgressClock& Replacement() {
    static ProgressClock clock;
    return clock;
}

int& RunningWork() {
    static int count = 0;
    return count;
}

struct Deferred {
    QPointer<QObject> context;
    std::function<void()> action;
};

std::vector<Deferred>& DeferredActions() {
    static std::vector<Deferred> actions;
    return actions;
}

// Runs what waited for the work, each in the event loop, where no work is
// on the stack; an action that starts work of its own defers the rest again.
void RunDeferred() {
    if (RunningWork() > 0 || DeferredActions().empty()) return;
    Deferred next = std::move(DeferredActions().front());
    DeferredActions().erase(DeferredActions().begin());
    if (next.context) next.action();
    if (!DeferredActions().empty()) QTimer::singleShot(0, [] { RunDeferred(); });
}

// The dialog finished work left up for the next work of the same action.
struct KeptDialog {
    bool scoped = false;
    QWidget* parent = nullptr;
    std::unique_ptr<QProgressDialog> dialog;
};

KeptDialog& Kept() {
    static KeptDialog kept;
    return kept;
}

double Now() {
    if (Replacement()) return Replacement()();
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

ProgressClock SetProgressClock(ProgressClock clock) {
    ProgressClock previous = std::move(Replacement());
    Replacement() = std::move(clock);
    return previous;
}

bool LongWorkRunning() {
    return RunningWork() > 0;
}

void RunAfterLongWork(QObject* context, std::function<void()> action) {
    if (!LongWorkRunning()) {
        action();
        return;
    }
    DeferredActions().push_back({context, std::move(action)});
}

OneProgressDialog::OneProgressDialog() : owner_(!Kept().scoped) {
    Kept().scoped = true;
}

OneProgressDialog::~OneProgressDialog() {
    if (!owner_) return;
    CloseKept();
    Kept().scoped = false;
}

void OneProgressDialog::CloseKept() {
    Kept().dialog.reset();
    Kept().parent = nullptr;
}

DialogProgress::DialogProgress(QWidget* parent, QString label)
    : parent_(parent), label_(std::move(label)), start_(Now()) {
    ++RunningWork();
    if (Kept().dialog && Kept().parent == parent_) {
        // Already on screen: it goes on showing, with this work's text.
        dialog_ = std::move(Kept().dialog);
        dialog_->reset();
    }
    OneProgressDialog::CloseKept();
}

DialogProgress::~DialogProgress() {
    if (Kept().scoped && dialog_ && !cancelled_) {
        Kept().parent = parent_;
        Kept().dialog = std::move(dialog_);
    }
    if (--RunningWork() == 0 && !DeferredActions().empty())
        QTimer::singleShot(0, [] { RunDeferred(); });
}

void DialogProgress::Show() {
    dialog_ =
        std::make_unique<QProgressDialog>(QString(), QStringLiteral("ｷｬﾝｾﾙ"), 0, kScale, parent_);
    // Captioned like the program's message boxes.
    dialog_->setWindowTitle(QString::fromStdString(
        ApplicationTitle(QCoreApplication::applicationFilePath().toStdString())));
    dialog_->setWindowModality(Qt::ApplicationModal);
    dialog_->setMinimumDuration(0);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->show();
}

bool DialogProgress::Step(uint64_t done, uint64_t total) {
    if (cancelled_) return false;
    const double now = Now();
    if (!dialog_) {
        if (now - start_ < kProgressDelaySeconds) return true;
        Show();
    } else if (now - lastEvents_ < kEventInterval) {
        return true;
    }
    lastEvents_ = now;
    QString text = label_;
    if (text.contains(QLatin1String("%1")))
        text = text.arg(QString::number(done), QString::number(total));
    dialog_->setLabelText(text);
    dialog_->setValue(total > 0 ? static_cast<int>(done * kScale / total) : 0);
    QCoreApplication::processEvents();
    cancelled_ = dialog_->wasCanceled();
    return !cancelled_;
}

}  // namespace lv
