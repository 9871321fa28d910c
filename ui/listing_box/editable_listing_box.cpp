#include "ui/listing_box/editable_listing_box.h"

namespace ui {

EditableListingBox::EditableListingBox(QWidget* parent) : ListingView(parent) {
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SetEditable(true);
}

void EditableListingBox::Clear() { SetListing(core::ListingLines()); }

}  // namespace ui
