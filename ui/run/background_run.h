// A long run (a search, a range of the viewer) reads on a thread of its own
// while the thread that draws the windows waits for it. A run that ends
// within half a second looks as it always did; a longer one gets a modal
// progress window with the file being read, the bytes done and a cancel
// button.
#pragma once

#include "core/run_progress.h"
#include "ui/run/progress_window.h"

#include <QString>

#include <chrono>
#include <functional>

class QWidget;

namespace ui {

// Runs work on a thread of its own and returns when it has ended; what work
// throws is thrown here. settle, when given, runs here once work has ended,
// also when it failed, before the error is thrown on. Cancel (its button or
// Esc) throws core::EAbort. A run that does not stop within a moment of the
// cancel (a read that blocks) is left to end on its own: work must own
// everything it touches, and settle does not run then. unit is what the
// window counts: bytes read (SetTotal and Read in bytes) or pages printed
// (in pages; Read(0) only asks whether to go on).
void RunInBackground(QWidget* over, const QString& caption, std::function<void(core::RunProgress&)> work,
                     const std::function<void()>& settle = {}, ProgressUnit unit = ProgressUnit::Bytes);

// For tests: how long a run goes before its window shows, and a step every
// run takes on its thread before its work (to stand for a read that blocks).
void SetRunTimingForTests(std::chrono::milliseconds quiet, std::function<void()> beforeWork = {});

// Whether runs that were cancelled but would not stop are still going: the
// program then ends without tearing down what they may still touch.
bool RunsStillGoing() noexcept;

}  // namespace ui
