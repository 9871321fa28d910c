#include "ui/output/print_destination.h"

#include "core/errors.h"
#include "core/io_check.h"
#include "platform/file_access.h"

#include <QPageLayout>
#include <QPainter>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include <cups/cups.h>

namespace ui {

bool PrintDestination::Begin(QPainter& painter) { return painter.begin(&Printer()); }

namespace {

const char* Sides(const QPrinter& printer) {
    switch (printer.duplex()) {
    case QPrinter::DuplexNone: return "one-sided";
    case QPrinter::DuplexAuto:
        return printer.pageLayout().orientation() == QPageLayout::Portrait ? "two-sided-long-edge"
                                                                           : "two-sided-short-edge";
    case QPrinter::DuplexLongSide: return "two-sided-long-edge";
    case QPrinter::DuplexShortSide: return "two-sided-short-edge";
    }
    return "one-sided";
}

// Qt's printing service lays the document out for the printer and writes it
// to a spool file; the file goes to CUPS, with the options Qt would give it,
// only when the document is complete.
class SpooledPrinter : public PrintDestination {
public:
    explicit SpooledPrinter(const QPrinterInfo& info)
        : queue_(info.printerName().section(QLatin1Char('/'), 0, 0).toLocal8Bit()),
          printer_(info, QPrinter::HighResolution) {
        printer_.setDocName(QString());
        printer_.setFullPage(false);
        // The printable area is the printer's own, with no margins of Qt's added.
        const QPageLayout layout = printer_.pageLayout();
        printer_.setPageMargins(layout.minimumMargins(), layout.units());
        if (spool_.isValid()) printer_.setOutputFileName(spool_.filePath(QStringLiteral("document.prn")));
    }

    QPrinter& Printer() override { return printer_; }

    bool Begin(QPainter& painter) override { return spool_.isValid() && PrintDestination::Begin(painter); }

    void Deliver() override {
        const QByteArray file = printer_.outputFileName().toLocal8Bit();
        const QByteArray media = printer_.pageLayout().pageSize().key().toLocal8Bit();
        cups_option_t* options = nullptr;
        int count = cupsAddOption("media", media.constData(), 0, &options);
        count = cupsAddOption("sides", Sides(printer_), count, &options);
        if (printer_.pageLayout().orientation() == QPageLayout::Landscape) {
            count = cupsAddOption("landscape", "", count, &options);
        }
        const int job = cupsPrintFile(queue_.constData(), file.constData(), "", count, options);
        cupsFreeOptions(count, options);
        if (job == 0) {
            throw core::EInOutError(core::InOutErrorMessage(platform::err::kIoDevice), platform::err::kIoDevice);
        }
    }

private:
    QByteArray queue_;
    QTemporaryDir spool_;
    QPrinter printer_;
};

DestinationMaker& Maker() {
    static DestinationMaker maker;
    return maker;
}

}  // namespace

std::unique_ptr<PrintDestination> DefaultPrinterDestination() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return nullptr;
    return std::make_unique<SpooledPrinter>(info);
}

void SetPrintDestinationMaker(DestinationMaker maker) { Maker() = std::move(maker); }

std::unique_ptr<PrintDestination> MakePrintDestination() { return Maker() ? Maker()() : DefaultPrinterDestination(); }

}  // namespace ui
