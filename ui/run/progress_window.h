// The modal window of a long run: the file being read, how many of the
// run's bytes are read, and a cancel button (Esc does the same).
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>

class QLabel;
class QProgressBar;

namespace ui {

// What the window shows, as the run has it now.
struct ProgressSnapshot {
    QString file;
    std::uint64_t done = 0;
    std::uint64_t total = 0;  // 0 when not known
    bool finished = false;
};

class ProgressWindow : public QDialog {
public:
    // Polls look() a few times a second; closes itself, accepted, once the
    // run has finished. Cancel rejects it.
    ProgressWindow(QWidget* over, const QString& caption, std::function<ProgressSnapshot()> look);

    QLabel* FileLabel;
    QProgressBar* Bar;
    QLabel* BytesLabel;

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void Display(const ProgressSnapshot& now);

    std::function<ProgressSnapshot()> look_;
    int timer_ = 0;
};

// "12.3 MB" and the like.
QString ByteCount(std::uint64_t bytes);

}  // namespace ui
