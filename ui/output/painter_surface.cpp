#include "ui/output/painter_surface.h"

#include "core/errors.h"
#include "core/io_check.h"
#include "core/output/box_text.h"
#include "platform/file_access.h"
#include "ui/text/code_page_text.h"

#include <QPainter>
#include <QPrinter>

namespace ui {

namespace {
// A run as the listing box shows it (a NUL byte as its visible mark).
QString Shown(std::string_view run) { return ShownText(core::ListingBoxText(run)); }
}  // namespace

PainterSurface::PainterSurface(QPainter& painter, QPrinter& printer, std::function<void()> betweenPages)
    : painter_(painter), printer_(printer), metrics_(painter.fontMetrics()), betweenPages_(std::move(betweenPages)) {}

int PainterSurface::PrintableWidth() const { return printer_.width(); }

int PainterSurface::PrintableHeight() const { return printer_.height(); }

int PainterSurface::AverageCharWidth() const { return metrics_.averageCharWidth(); }

int PainterSurface::FontHeight() const { return metrics_.height(); }

core::TextSurface::Extent PainterSurface::Measure(std::string_view run) {
    return {metrics_.horizontalAdvance(Shown(run)), metrics_.height()};
}

void PainterSurface::Draw(int x, int y, std::string_view run) {
    painter_.drawText(QPoint(x, y + metrics_.ascent()), Shown(run));
}

void PainterSurface::NewPage() {
    if (!printer_.newPage()) {
        throw core::EInOutError(core::InOutErrorMessage(platform::err::kIoDevice), platform::err::kIoDevice);
    }
    if (betweenPages_) betweenPages_();
}

}  // namespace ui
