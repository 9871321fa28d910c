// The windows at real size, one case a process so that its peak memory is its
// own (bench/windows.sh runs it beside norvane-search):
//
//   norvane_window_bench make DIR            writes the files the cases read
//   norvane_window_bench search FILE PHRASE  start command to listing drawn
//   norvane_window_bench local FILE PHRASE   local search command to listing drawn
//   norvane_window_bench print FILE PHRASE   the listing printed to a PDF printer
//
// PHRASE is UTF-8. A case prints one line of "name=value" pairs: the time
// from the command to the listing drawn (ms), the listing's bytes and lines,
// the peak RSS (kB), and for the search the slowest of 20 page downs and of
// 20 jumps to the end or back, each drawn (ms). The print case searches, then
// prints the listing to a PDF file through Qt's PDF printer; after a second
// of pages it clicks キャンセル. It prints the time from 印刷 to the progress
// window on screen and from キャンセル to the windows answering again (ms),
// the pages the print counted and those done when it was cancelled.
//
// With NORVANE_BENCH_LISTING set to a path, the search and local cases write
// the listing there, to compare builds by.
//
// On Qt's offscreen platform (the default when QT_QPA_PLATFORM is unset) the
// listing is drawn when the box renders into a picture. On a real display it
// is drawn when the windowing system has exposed the window, the box has
// painted after that, and an event posted then has been handled: the
// windows answer.
#include "platform/code_page.h"
#include "ui/LocalSrch.h"
#include "ui/RESULT.h"
#include "ui/WHAT.h"
#include "ui/app/application.h"
#include "ui/dialogs/message_boxes.h"
#include "ui/listing_box/editable_listing_box.h"
#include "ui/listing_box/listing_view.h"
#include "ui/output/print_destination.h"
#include "ui/run/progress_window.h"
#include "ui/startup.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

namespace {

long PeakRssKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

// A file of lines that each hold the phrase once: the listing lists every line.
bool Write(const std::string& path, long lines, const char* utf8Pattern) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string chunk;
    char number[32];
    for (long i = 1; i <= lines; ++i) {
        std::snprintf(number, sizeof number, "%ld", i);
        chunk += platform::FixedText(utf8Pattern);
        chunk += number;
        chunk += "\r\n";
        if (chunk.size() > (1 << 20)) {
            out << chunk;
            chunk.clear();
        }
    }
    out << chunk;
    return static_cast<bool>(out);
}

// The listing to the file NORVANE_BENCH_LISTING names, when set.
bool SaveListingIfAsked(const ui::ListingView* box) {
    const QByteArray path = qgetenv("NORVANE_BENCH_LISTING");
    if (path.isEmpty()) return true;
    std::ofstream out(path.toStdString(), std::ios::binary | std::ios::trunc);
    out << box->Listing().Bytes();
    return static_cast<bool>(out);
}

double Milliseconds(const QElapsedTimer& timer) { return static_cast<double>(timer.nsecsElapsed()) / 1e6; }

// The slowest of count presses of key, each followed by drawing the box.
double SlowestDrawnKey(ui::ListingView* box, int count, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    double slowest = 0;
    for (int i = 0; i < count; ++i) {
        QElapsedTimer timer;
        timer.start();
        QKeyEvent press(QEvent::KeyPress, key, modifiers);
        QCoreApplication::sendEvent(box, &press);
        box->viewport()->grab();
        slowest = std::max(slowest, Milliseconds(timer));
    }
    return slowest;
}

bool OnRealDisplay() { return QGuiApplication::platformName() != QStringLiteral("offscreen"); }

// Handles events until done() holds; false after 10 s without.
bool WaitUntil(const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.hasExpired(10000)) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

// A window shown and settled on screen, its frame drawn by the window manager.
bool ShownOnScreen(QWidget* window) {
    window->show();
    if (!OnRealDisplay()) return true;
    if (!WaitUntil([window] { return window->windowHandle() && window->windowHandle()->isExposed(); })) return false;
    QElapsedTimer settle;
    settle.start();
    while (!settle.hasExpired(300)) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return true;
}

// Sees the box's viewport paint once its window is exposed.
class PaintAfterExpose : public QObject {
public:
    PaintAfterExpose(QWidget* window, QWidget* viewport) : window_(window), viewport_(viewport) {
        qApp->installEventFilter(this);
    }
    ~PaintAfterExpose() override { qApp->removeEventFilter(this); }
    bool Painted() const { return painted_; }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == viewport_ && event->type() == QEvent::Paint && window_->windowHandle() &&
            window_->windowHandle()->isExposed()) {
            painted_ = true;
        }
        return false;
    }

private:
    QWidget* window_;
    QWidget* viewport_;
    bool painted_ = false;
};

// Starts the run with start, then waits until box shows its listing: drawn
// into a picture offscreen; on a real display, its window exposed, the box
// painted, and an event posted after that handled. The time in ms, or -1.
double DrawnAfter(const std::function<void()>& start, QWidget* window, ui::ListingView* box) {
    if (!OnRealDisplay()) {
        QElapsedTimer timer;
        timer.start();
        start();
        box->viewport()->grab();
        return Milliseconds(timer);
    }
    const PaintAfterExpose seen(window, box->viewport());
    QElapsedTimer timer;
    timer.start();
    start();
    if (!WaitUntil([&seen] { return seen.Painted(); })) return -1;
    bool answered = false;
    QTimer::singleShot(0, [&answered] { answered = true; });
    if (!WaitUntil([&answered] { return answered; })) return -1;
    return Milliseconds(timer);
}

int Search(const std::string& path, const std::string& phrase) {
    if (!ShownOnScreen(ui::WhatForm)) return 1;
    ui::WhatForm->GridRows.Add(path);
    ui::WhatForm->Edit1->setText(QString::fromStdString(phrase));
    QCoreApplication::processEvents();
    ui::ListingView* box = ui::ResultForm->Memo1;
    const double drawn = DrawnAfter([] { ui::WhatForm->N1->trigger(); }, ui::ResultForm, box);
    if (drawn < 0) return 1;
    box->setFocus();
    const double page = SlowestDrawnKey(box, 20, Qt::Key_PageDown, Qt::NoModifier);
    double jump = 0;
    for (int i = 0; i < 10; ++i) {
        jump = std::max(jump, SlowestDrawnKey(box, 1, Qt::Key_End, Qt::ControlModifier));
        jump = std::max(jump, SlowestDrawnKey(box, 1, Qt::Key_Home, Qt::ControlModifier));
    }
    std::printf("drawn_ms=%.1f listing_bytes=%zu lines=%zu peak_rss_kb=%ld page_ms=%.2f jump_ms=%.2f\n", drawn,
                box->Listing().Bytes().size(), box->Listing().Count(), PeakRssKb(), page, jump);
    return SaveListingIfAsked(box) ? 0 : 1;
}

int Local(const std::string& path, const std::string& phrase) {
    ui::ResultForm->CurrentFile = path;
    if (!ShownOnScreen(ui::LocalSrchForm)) return 1;
    ui::LocalSrchForm->Edit1->setText(QString::fromStdString(phrase));
    QCoreApplication::processEvents();
    ui::ListingView* box = ui::LocalSrchForm->Memo1;
    const double drawn = DrawnAfter([] { ui::LocalSrchForm->Find1->trigger(); }, ui::LocalSrchForm, box);
    if (drawn < 0) return 1;
    const long drawnRss = PeakRssKb();
    // The first key typed into the listing, halfway down, until it is drawn.
    box->setFocus();
    const std::size_t middle = box->Listing().Count() / 2;
    box->SetSelection({middle, 3}, {middle, 3});
    box->viewport()->grab();
    QElapsedTimer timer;
    timer.start();
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, QStringLiteral("Q"));
    QCoreApplication::sendEvent(box, &key);
    box->viewport()->grab();
    const double typed = Milliseconds(timer);
    if (box->LineText(middle).mid(3, 1) != QStringLiteral("Q")) {
        std::fprintf(stderr, "the key was not typed into the listing\n");
        return 1;
    }
    std::printf("drawn_ms=%.1f listing_bytes=%zu lines=%zu peak_rss_kb=%ld drawn_rss_kb=%ld key_ms=%.2f\n", drawn,
                box->Listing().Bytes().size(), box->Listing().Count(), PeakRssKb(), drawnRss, typed);
    return SaveListingIfAsked(box) ? 0 : 1;
}

// Qt's PDF printer, writing to a file that is removed with it.
class PdfPrinter : public ui::PrintDestination {
public:
    PdfPrinter() : printer_(QPrinter::HighResolution) {
        printer_.setOutputFormat(QPrinter::PdfFormat);
        printer_.setOutputFileName(dir_.filePath(QStringLiteral("print.pdf")));
    }
    QPrinter& Printer() override { return printer_; }
    void Deliver() override {}

private:
    QTemporaryDir dir_;
    QPrinter printer_;
};

int Print(const std::string& path, const std::string& phrase) {
    ui::WhatForm->show();
    ui::WhatForm->GridRows.Add(path);
    ui::WhatForm->Edit1->setText(QString::fromStdString(phrase));
    ui::WhatForm->N1->trigger();
    const std::size_t lines = ui::ResultForm->Memo1->Listing().Count();
    ui::SetPrintDestinationMaker([] { return std::make_unique<PdfPrinter>(); });
    QCoreApplication::processEvents();

    QElapsedTimer timer;
    double shown = -1, cancelled = -1;
    QString pages;
    // Looks each millisecond, from the progress window's own loop.
    std::function<void()> look = [&] {
        auto* window = dynamic_cast<ui::ProgressWindow*>(QApplication::activeModalWidget());
        if (window && window->isVisible()) {
            if (shown < 0) shown = Milliseconds(timer);
            if (Milliseconds(timer) > shown + 1000 && window->BytesLabel->text().contains(QLatin1Char('/'))) {
                pages = window->BytesLabel->text();
                cancelled = Milliseconds(timer);
                window->findChild<QPushButton*>()->click();
                return;
            }
        }
        QTimer::singleShot(1, look);
    };
    QTimer::singleShot(0, look);
    timer.start();
    ui::ResultForm->Print1->trigger();
    // The windows answer again once an event posted now is handled.
    bool answered = false;
    QTimer::singleShot(0, [&] { answered = true; });
    while (!answered) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const double back = Milliseconds(timer);
    const QRegularExpressionMatch counted = QRegularExpression(QStringLiteral("(\\d+) / (\\d+)")).match(pages);
    std::printf("progress_ms=%.1f cancel_ms=%.1f lines=%zu pages=%s pages_done=%s peak_rss_kb=%ld\n", shown,
                cancelled < 0 ? -1.0 : back - cancelled, lines, counted.captured(2).toUtf8().constData(),
                counted.captured(1).toUtf8().constData(), PeakRssKb());
    return shown < 0 || cancelled < 0 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "make") {
        const std::string dir = argv[2];
        const bool ok =
            Write(dir + "/hits1m.txt", 1000000, "港町の灯が見える、吾輩は猫である。名前はまだ無い。どこで生れたか ") &&
            Write(dir + "/hits3m.txt", 3000000, "海辺の町に住む人、吾輩は猫である ");
        return ok ? 0 : 1;
    }
    const std::string kind = argc == 4 ? argv[1] : "";
    if (kind != "search" && kind != "local" && kind != "print") {
        std::fprintf(stderr, "usage: %s make DIR | search FILE PHRASE | local FILE PHRASE | print FILE PHRASE\n",
                     argv[0]);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ui::Application::Init(QApplication::applicationFilePath());
    int boxes = 0;
    ui::MessageBoxes::SetAnswerer([&boxes](const ui::MessageBoxRequest& box) {
        std::fprintf(stderr, "message box: %s\n", box.text.toUtf8().constData());
        ++boxes;
    });
    const auto windows = std::make_unique<ui::WindowSet>();
    const int status = kind == "search"  ? Search(argv[2], argv[3])
                       : kind == "local" ? Local(argv[2], argv[3])
                                         : Print(argv[2], argv[3]);
    return boxes == 0 ? status : 1;
}
