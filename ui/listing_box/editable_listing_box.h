// The local search window's listing box: editable, but edited rarely. It
// shows the listing as a ListingView, which draws only what is on screen,
// and becomes a plain text editor holding the same text at the moment the
// user starts to type into it.
#pragma once

#include "core/output/listing_lines.h"

#include <QStackedWidget>

class QEvent;
class QPlainTextEdit;

namespace ui {

class ListingView;

class EditableListingBox : public QStackedWidget {
public:
    explicit EditableListingBox(QWidget* parent = nullptr);

    // Shows listing in the view, leaving any edited text behind.
    void SetListing(core::ListingLines listing);
    void Clear();
    // The text as shown, lines joined by '\n'.
    QString ToPlainText() const;
    bool IsEditing() const;

    ListingView* View;
    QPlainTextEdit* Editor;

private:
    // Swaps the view for the editor, with the caret and selection where they
    // were, and hands the editor the event that started the edit.
    void StartEditing(QEvent* event);
};

}  // namespace ui
