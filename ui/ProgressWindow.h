#pragma once
// A progress window for long work done on the window's own thread: it shows
// itself only when the work lasts longer than a moment, keeps the windows
// painted while the work goes on, and turns its Cancel button into
// OperationCancelled thrown from the work's progress reports.

#include <QElapsedTimer>
#include <QString>
#include <memory>

#include "base/Progress.h"

class QProgressDialog;
class QWidget;

namespace karvello {

class ProgressWindow {
  public:
    // label names the work ("Drawing maps.png ..."); nothing shows yet.
    ProgressWindow(QWidget* parent, const QString& label);
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;

    // The work's progress. Throws OperationCancelled once Cancel is pressed.
    ProgressFn Fn();

    // How long the work may run before the window shows, in milliseconds.
    static constexpr int kShowAfterMs = 400;

  private:
    void Report(std::uint64_t done, std::uint64_t total);

    std::unique_ptr<QProgressDialog> dialog_;
    QElapsedTimer sinceStart_;
    QElapsedTimer sinceEvents_;
};

} // namespace karvello
