// Where a print goes: the printer painted on, and what becomes of the
// document once it is complete.
#pragma once

#include <QPrinter>

#include <functional>
#include <memory>

class QPainter;

namespace ui {

// A document that is never delivered is dropped with its destination: that
// is how an open job is cancelled.
class PrintDestination {
public:
    virtual ~PrintDestination() = default;

    virtual QPrinter& Printer() = 0;
    // Starts the document; false when the printer can't be drawn on.
    virtual bool Begin(QPainter& painter);
    // Passes the complete document on, after the painter has ended.
    virtual void Deliver() = 0;
};

// The system's default printer; nullptr when there is none. The document is
// spooled to a temporary file and handed to the print service only when it
// is complete, so a print that fails half way prints nothing.
std::unique_ptr<PrintDestination> DefaultPrinterDestination();

// What the print command prints on. Tests put their own in place; an empty
// maker brings the default printer back.
using DestinationMaker = std::function<std::unique_ptr<PrintDestination>()>;
void SetPrintDestinationMaker(DestinationMaker maker);
std::unique_ptr<PrintDestination> MakePrintDestination();

}  // namespace ui
