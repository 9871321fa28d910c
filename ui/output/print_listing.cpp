#include "ui/output/print_listing.h"

#include "core/errors.h"
#include "core/output/text_device.h"
#include "platform/code_page.h"
#include "ui/listing_box/display_lines.h"
#include "ui/listing_box/listing_view.h"
#include "ui/output/painter_surface.h"
#include "ui/output/print_destination.h"

#include <QCoreApplication>
#include <QFontInfo>
#include <QPainter>

namespace ui {

namespace {

bool printing = false;

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

[[noreturn]] void Fail(const char* message) { throw core::Exception(platform::FixedText(message)); }

}  // namespace

QFont PrintFont(const ListingView& box) {
    QFont font = box.font();
    font.setPointSizeF(QFontInfo(box.font()).pointSizeF());
    return font;
}

void PrintListing(const ListingView& box) {
    if (printing) Fail("印刷中");
    const auto destination = MakePrintDestination();
    if (!destination) Fail("ﾃﾞﾌｫﾙﾄ ﾌﾟﾘﾝﾀが存在しません");
    // Taken before the first page: the box may change while pages print.
    const std::vector<std::string> lines = DisplayLines(box);
    const QFont font = PrintFont(box);

    const PrintRunning running;
    QPainter painter;
    if (!destination->Begin(painter)) Fail("選択したﾌﾟﾘﾝﾀは有効ではありません");
    OpenJob job(*destination, painter);
    painter.setFont(font);
    PainterSurface surface(painter, destination->Printer(), [] { QCoreApplication::processEvents(); });
    core::TextDevice device(surface);
    for (const std::string& line : lines) device.WriteLine(line);
    device.Close();
    job.Complete();
}

}  // namespace ui
