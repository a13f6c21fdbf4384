// Long work that the user can follow and cancel: a modal progress dialog
// that appears only once the work has run for half a second (shorter work
// shows nothing at all), keeps the windows drawn while it runs and stops
// the work at Cancel.
#pragma once

#include <QString>
#include <functional>
#include <memory>

#include "core/state/progress.h"

class QObject;
class QProgressDialog;
class QWidget;

namespace lv {

// How long work runs before its dialog appears.
inline constexpr double kProgressDelaySeconds = 0.5;

// Seconds on a monotonic clock. Tests replace it to make work look slow
// without sleeping; an empty function restores the real clock. Returns the
// previous replacement.
using ProgressClock = std::function<double()>;
ProgressClock SetProgressClock(ProgressClock clock);

// True while some DialogProgress exists, that is while long work runs on
// the window's thread and events may be handled inside its Step.
bool LongWorkRunning();

// Runs action now when no long work runs, else once the last one has ended
// (from the event loop, after the work's caller has returned). For what
// arrives without user input and must not change the windows under running
// work: a queued open of a dropped file. Dropped if context is destroyed.
void RunAfterLongWork(QObject* context, std::function<void()> action);

// While one exists, the pieces of long work of one user action show one
// dialog: a dialog that one DialogProgress showed (the wait for the case
// index) stays up when it ends, and the next DialogProgress with the same
// parent takes it over with its own text, shown at once. The dialog closes
// with the scope, or when the work was cancelled. Scopes do not nest: an
// inner one leaves the outer in charge.
class OneProgressDialog {
  public:
    OneProgressDialog();
    ~OneProgressDialog();
    OneProgressDialog(const OneProgressDialog&) = delete;
    OneProgressDialog& operator=(const OneProgressDialog&) = delete;
    // Closes a dialog left up by finished work, before the action asks the
    // user something in a window of its own.
    static void CloseKept();

  private:
    bool owner_;
};

class DialogProgress final : public Progress {
  public:
    // label: the dialog's text; "%1" and "%2" in it become the units done
    // and the units in all.
    DialogProgress(QWidget* parent, QString label);
    ~DialogProgress() override;

    bool Step(uint64_t done, uint64_t total) override;
    // The dialog while it is shown (null before it appears).
    QProgressDialog* dialog() const { return dialog_.get(); }
    // The user pressed Cancel: the work stopped and left no result.
    bool cancelled() const { return cancelled_; }

  private:
    void Show();

    QWidget* parent_;
    QString label_;
    double start_;
    double lastEvents_ = -1;
    bool cancelled_ = false;
    std::unique_ptr<QProgressDialog> dialog_;
};

}  // namespace lv
