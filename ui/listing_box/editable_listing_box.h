// The local search window's listing box: a listing view that is edited in
// place, so that it shows a listing of any length at once and takes the
// first key, and the input method's first keystroke, as it takes the next.
#pragma once

#include "ui/listing_box/listing_view.h"

namespace ui {

class EditableListingBox : public ListingView {
public:
    explicit EditableListingBox(QWidget* parent = nullptr);

    void Clear();
};

}  // namespace ui
