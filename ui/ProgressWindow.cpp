#include "ui/ProgressWindow.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include "ui/Controls.h"

namespace karvello {

namespace {

// Events are handled at most this often while work goes on: often enough
// for the bar and Cancel, seldom enough to cost the work nothing.
constexpr int kEventsEveryMs = 30;

} // namespace

ProgressWindow::ProgressWindow(QWidget* parent, const QString& label)
    : dialog_(std::make_unique<QProgressDialog>(label, QStringLiteral("Cancel"), 0,
                                                static_cast<int>(kProgressSteps), parent)) {
    dialog_->setObjectName(QStringLiteral("ProgressWindow"));
    dialog_->setWindowTitle(QStringLiteral("Karvello"));
    dialog_->setFont(WindowFont());
    // Shown by Report once the work has taken longer than a moment, not by
    // the dialog's own timer, which needs an event loop to run.
    dialog_->setMinimumDuration(1 << 30);
    dialog_->setAutoReset(false);
    dialog_->setAutoClose(false);
    dialog_->setValue(0);
    sinceStart_.start();
    sinceEvents_.start();
}

ProgressWindow::~ProgressWindow() = default;

ProgressFn ProgressWindow::Fn() {
    return [this](std::uint64_t done, std::uint64_t total) { Report(done, total); };
}

void ProgressWindow::Report(std::uint64_t done, std::uint64_t total) {
    if (sinceEvents_.elapsed() < kEventsEveryMs) {
        return;
    }
    sinceEvents_.restart();
    if (!dialog_->isVisible() && sinceStart_.elapsed() >= kShowAfterMs) {
        // The work runs on this thread: while it does, no other window may
        // take input, or a second Load could start inside a Draw. Modal only
        // from now on, as a modal progress dialog handles every event,
        // clicks included, on each new value.
        dialog_->setWindowModality(Qt::ApplicationModal);
        dialog_->show();
    }
    const double share = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 0;
    dialog_->setValue(static_cast<int>(share * static_cast<double>(kProgressSteps)));
    // Before the window shows, the user's clicks wait: they could start
    // other work inside this one. Once it shows it is modal, and only its
    // Cancel button takes them.
    QCoreApplication::processEvents(dialog_->isVisible() ? QEventLoop::AllEvents
                                                         : QEventLoop::ExcludeUserInputEvents);
    if (dialog_->wasCanceled()) {
        throw OperationCancelled();
    }
}

} // namespace karvello
