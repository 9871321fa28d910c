#include "ui/output/print_listing.h"

#include "core/errors.h"
#include "core/output/listing_lines.h"
#include "core/output/text_device.h"
#include "platform/code_page.h"
#include "ui/listing_box/display_lines.h"
#include "ui/listing_box/listing_view.h"
#include "ui/output/painter_surface.h"
#include "ui/output/print_destination.h"
#include "ui/run/background_run.h"
#include "ui/text/code_page_text.h"

#include <QFontInfo>
#include <QPainter>

#include <atomic>
#include <memory>

namespace ui {

namespace {

constexpr const char* kPrinting = "印刷中";

// A print job is running (also one that was cancelled but has not stopped yet).
std::atomic<bool> printing{false};

// Marks a print as running for its lifetime.
class PrintRunning {
public:
    PrintRunning() { printing = true; }
    ~PrintRunning() { printing = false; }
    PrintRunning(const PrintRunning&) = delete;
    PrintRunning& operator=(const PrintRunning&) = delete;
};

// The open job: ended and delivered when complete, otherwise cancelled.
class OpenJob {
public:
    OpenJob(PrintDestination& destination, QPainter& painter) : destination_(destination), painter_(painter) {}
    ~OpenJob() {
        if (!painter_.isActive()) return;
        destination_.Printer().abort();
        painter_.end();
    }
    OpenJob(const OpenJob&) = delete;
    OpenJob& operator=(const OpenJob&) = delete;

    void Complete() {
        painter_.end();
        destination_.Deliver();
    }

private:
    PrintDestination& destination_;
    QPainter& painter_;
};

// Lays the pages out as the printer surface would, drawing nothing: how many
// pages the print takes.
class PageCounter : public core::TextSurface {
public:
    explicit PageCounter(core::TextSurface& measure) : measure_(measure) {}
    int PrintableWidth() const override { return measure_.PrintableWidth(); }
    int PrintableHeight() const override { return measure_.PrintableHeight(); }
    int AverageCharWidth() const override { return measure_.AverageCharWidth(); }
    int FontHeight() const override { return measure_.FontHeight(); }
    Extent Measure(std::string_view run) override { return measure_.Measure(run); }
    void Draw(int, int, std::string_view) override {}
    void NewPage() override { ++pages_; }
    std::uint64_t Pages() const noexcept { return pages_; }

private:
    core::TextSurface& measure_;
    std::uint64_t pages_ = 1;
};

[[noreturn]] void Fail(const char* message) { throw core::Exception(platform::FixedText(message)); }

// Everything the job touches, owned by it: it runs on a thread of its own and
// may be left to end alone when cancelled.
struct PrintJob {
    PrintRunning running;
    std::unique_ptr<PrintDestination> destination;
    core::ListingLines listing;
    QFont boxFont;
    qreal wrapWidth = 0;
    QFont printFont;
};

void Print(PrintJob& job, core::RunProgress& progress) {
    const auto goOn = [&progress] {
        if (!progress.Read(0)) throw core::EAbort(std::string());
    };
    const std::vector<std::string> lines = DisplayLines(job.listing, job.boxFont, job.wrapWidth, goOn);
    job.listing = {};

    QPainter painter;
    if (!job.destination->Begin(painter)) Fail("選択したﾌﾟﾘﾝﾀは有効ではありません");
    OpenJob open(*job.destination, painter);
    painter.setFont(job.printFont);
    PainterSurface surface(painter, job.destination->Printer(), [&progress] {
        if (!progress.Read(1)) throw core::EAbort(std::string());
    });
    // The pages are counted first, by the very measures they are printed with.
    PageCounter counter(surface);
    core::TextDevice counting(counter);
    for (const std::string& line : lines) {
        goOn();
        counting.WriteLine(line);
    }
    counting.Close();
    progress.SetTotal(counter.Pages());

    core::TextDevice device(surface);
    for (const std::string& line : lines) {
        goOn();
        device.WriteLine(line);
    }
    device.Close();
    goOn();
    open.Complete();
    progress.Read(1);
}

}  // namespace

QFont PrintFont(const ListingView& box) {
    QFont font = box.font();
    font.setPointSizeF(QFontInfo(box.font()).pointSizeF());
    return font;
}

void PrintListing(const ListingView& box, QWidget* over) {
    if (printing) Fail(kPrinting);
    auto job = std::make_shared<PrintJob>();
    job->destination = MakePrintDestination();
    if (!job->destination) Fail("ﾃﾞﾌｫﾙﾄ ﾌﾟﾘﾝﾀが存在しません");
    // Taken now: the box may change while pages print.
    job->listing = box.Listing();
    job->boxFont = box.font();
    job->wrapWidth = box.WrapWidth();
    job->printFont = PrintFont(box);
    RunInBackground(
        over, FromUtf8(kPrinting), [job](core::RunProgress& progress) { Print(*job, progress); }, {},
        ProgressUnit::Pages);
}

}  // namespace ui
