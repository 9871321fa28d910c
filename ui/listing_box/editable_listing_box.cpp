#include "ui/listing_box/editable_listing_box.h"

#include "ui/listing_box/listing_view.h"
#include "ui/text/alt_keys.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QTextCursor>

namespace ui {

EditableListingBox::EditableListingBox(QWidget* parent) : QStackedWidget(parent) {
    View = new ListingView(this);
    View->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    View->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    View->SetEditHandler([this](QEvent* event) { StartEditing(event); });
    Editor = new QPlainTextEdit(this);
    RefuseAltTyping(Editor);
    Editor->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Editor->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    Editor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    addWidget(View);
    addWidget(Editor);
    setCurrentWidget(View);
    setFocusProxy(View);
}

void EditableListingBox::SetListing(core::ListingLines listing) {
    View->SetListing(std::move(listing));
    Editor->clear();
    setCurrentWidget(View);
    setFocusProxy(View);
}

void EditableListingBox::Clear() { SetListing(core::ListingLines()); }

QString EditableListingBox::ToPlainText() const { return IsEditing() ? Editor->toPlainText() : View->ToPlainText(); }

bool EditableListingBox::IsEditing() const { return currentWidget() == Editor; }

void EditableListingBox::StartEditing(QEvent* event) {
    if (IsEditing()) {
        QCoreApplication::sendEvent(Editor, event);
        return;
    }
    const ListingView::Position anchor = View->Anchor(), caret = View->Caret();
    QString text;
    int anchorAt = 0, caretAt = 0;
    const std::size_t count = View->Listing().Count();
    for (std::size_t line = 0; line < count; ++line) {
        if (line > 0) text += QLatin1Char('\n');
        if (line == anchor.line) anchorAt = static_cast<int>(text.size()) + anchor.unit;
        if (line == caret.line) caretAt = static_cast<int>(text.size()) + caret.unit;
        text += View->LineText(line);
    }
    const bool focused = View->hasFocus();
    Editor->setPlainText(text);
    QTextCursor cursor(Editor->document());
    cursor.setPosition(anchorAt);
    cursor.setPosition(caretAt, QTextCursor::KeepAnchor);
    Editor->setTextCursor(cursor);
    setCurrentWidget(Editor);
    setFocusProxy(Editor);
    View->SetListing(core::ListingLines());  // its bytes are not needed again
    if (focused) Editor->setFocus();
    Editor->ensureCursorVisible();
    QCoreApplication::sendEvent(Editor, event);
}

}  // namespace ui
