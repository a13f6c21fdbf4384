// Long work that the user can follow and cancel: a modal progress dialog
// that appears only once the work has run for half a second (shorter work
// shows nothing at all), keeps the windows drawn while it runs and stops
// the work at Cancel.
#ifndef LORIVANE_FORMS_PROGRESSDIALOG_H
#define LORIVANE_FORMS_PROGRESSDIALOG_H

#include <QString>
#include <functional>
#include <memory>

#include "core/state/progress.h"

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

class DialogProgress final : public Progress {
  public:
    // label: the dialog's text; "%1" and "%2" in it become the units done
    // and the units in all.
    DialogProgress(QWidget* parent, QString label);
    ~DialogProgress() override;

    bool Step(uint64_t done, uint64_t total) override;
    // The dialog while it is shown (null before it appears).
    QProgressDialog* dialog() const { return dialog_.get(); }

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

#endif
