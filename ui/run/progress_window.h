// The modal window of a long run: the file being read, how many of the
// run's bytes are read (or, for a print, how many of its pages are printed),
// and a cancel button (Esc does the same).
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>

class QLabel;
class QProgressBar;

namespace ui {

// What a run counts: the bytes it reads (a search, a range, a local search)
// or the pages it prints.
enum class ProgressUnit { Bytes, Pages };

// What the window shows, as the run has it now.
struct ProgressSnapshot {
    QString file;
    std::uint64_t done = 0;   // bytes or pages
    std::uint64_t total = 0;  // 0 when not known
    bool finished = false;
};

class ProgressWindow : public QDialog {
public:
    // Polls look() a few times a second; closes itself, accepted, once the
    // run has finished. Cancel rejects it.
    ProgressWindow(QWidget* over, const QString& caption, std::function<ProgressSnapshot()> look,
                   ProgressUnit unit = ProgressUnit::Bytes);

    QLabel* FileLabel;  // hidden for pages
    QProgressBar* Bar;
    QLabel* BytesLabel;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void Display(const ProgressSnapshot& now);

    std::function<ProgressSnapshot()> look_;
    ProgressUnit unit_;
    int timer_ = 0;
};

// "12.3 MB" and the like.
QString ByteCount(std::uint64_t bytes);

}  // namespace ui
