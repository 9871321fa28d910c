// The text device's surface on a printer: measuring and drawing with a
// QPainter in the printer's device pixels.
#pragma once

#include "core/output/text_device.h"

#include <QFontMetrics>

#include <functional>

class QPainter;
class QPrinter;

namespace ui {

class PainterSurface : public core::TextSurface {
public:
    // painter is active on printer with the print font set; betweenPages runs
    // after each new page is started.
    PainterSurface(QPainter& painter, QPrinter& printer, std::function<void()> betweenPages = {});

    int PrintableWidth() const override;
    int PrintableHeight() const override;
    int AverageCharWidth() const override;
    int FontHeight() const override;
    Extent Measure(std::string_view run) override;
    void Draw(int x, int y, std::string_view run) override;
    void NewPage() override;

private:
    QPainter& painter_;
    QPrinter& printer_;
    QFontMetrics metrics_;
    std::function<void()> betweenPages_;
};

}  // namespace ui
