#include "ui/run/progress_window.h"

#include "ui/run/stays_with_program.h"
#include "ui/text/code_page_text.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimerEvent>
#include <QVBoxLayout>

#include <algorithm>

namespace ui {

namespace {
constexpr int kPollMilliseconds = 40;
constexpr int kBarSteps = 1000;
constexpr int kFileLabelWidth = 380;
}  // namespace

QString ByteCount(std::uint64_t bytes) {
    constexpr double kKilo = 1024.0, kMega = kKilo * 1024.0, kGiga = kMega * 1024.0;
    const double b = static_cast<double>(bytes);
    if (b < kKilo) return QStringLiteral("%1 B").arg(bytes);
    if (b < kMega) return QStringLiteral("%1 KB").arg(b / kKilo, 0, 'f', 1);
    if (b < kGiga) return QStringLiteral("%1 MB").arg(b / kMega, 0, 'f', 1);
    return QStringLiteral("%1 GB").arg(b / kGiga, 0, 'f', 2);
}

ProgressWindow::ProgressWindow(QWidget* over, const QString& caption, std::function<ProgressSnapshot()> look,
                               ProgressUnit unit)
    : QDialog(over), look_(std::move(look)), unit_(unit) {
    setWindowTitle(caption);
    setWindowModality(Qt::ApplicationModal);
    KeepWithProgram(this);
    // The windows behind wear the hourglass; this one is to be clicked.
    setCursor(Qt::ArrowCursor);

    auto* layout = new QVBoxLayout(this);
    auto* fileHeading = new QLabel(FromUtf8("読み込み中のファイル："), this);
    layout->addWidget(fileHeading);
    FileLabel = new QLabel(this);
    FileLabel->setFixedWidth(kFileLabelWidth);
    layout->addWidget(FileLabel);
    // A print reads no file: the bar and the pages say it all.
    fileHeading->setVisible(unit_ == ProgressUnit::Bytes);
    FileLabel->setVisible(unit_ == ProgressUnit::Bytes);

    Bar = new QProgressBar(this);
    Bar->setTextVisible(false);
    Bar->setMinimumWidth(kFileLabelWidth);
    layout->addWidget(Bar);
    BytesLabel = new QLabel(this);
    layout->addWidget(BytesLabel);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(FromUtf8("キャンセル"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    Display(look_());
    timer_ = startTimer(kPollMilliseconds);
}

// The run may end before the window's loop runs: only the loop closes it.
void ProgressWindow::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timer_) return QDialog::timerEvent(event);
    const ProgressSnapshot now = look_();
    if (now.finished) {
        killTimer(timer_);
        accept();
        return;
    }
    Display(now);
}

void ProgressWindow::Display(const ProgressSnapshot& now) {
    const bool pages = unit_ == ProgressUnit::Pages;
    if (!pages) FileLabel->setText(FileLabel->fontMetrics().elidedText(now.file, Qt::ElideMiddle, kFileLabelWidth));
    if (now.total == 0) {
        Bar->setRange(0, 0);  // a run of unknown length: the bar only moves
        // A print counts its pages before it prints the first.
        BytesLabel->setText(pages ? FromUtf8("印刷の準備中") : FromUtf8("%1 読み込み済み").arg(ByteCount(now.done)));
        return;
    }
    const std::uint64_t done = std::min(now.done, now.total);
    Bar->setRange(0, kBarSteps);
    Bar->setValue(static_cast<int>(static_cast<double>(done) / static_cast<double>(now.total) * kBarSteps));
    BytesLabel->setText(pages ? FromUtf8("%1 / %2 ページ印刷済み").arg(done).arg(now.total)
                              : FromUtf8("%1 / %2 読み込み済み").arg(ByteCount(done), ByteCount(now.total)));
}

}  // namespace ui
