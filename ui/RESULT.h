// The result window: the listing of the global search, and the way into the
// full-text viewer.
#pragma once

#include "core/search/hit_table.h"

#include <QMainWindow>

#include <cstdint>
#include <string>
#include <string_view>

class QAction;
class QLabel;
class QMenu;

namespace ui {

class ListingView;

class TResultForm : public QMainWindow {
public:
    TResultForm();

    // The search state this window owns.
    core::HitTable HitTable;
    std::string CurrentFile;
    std::int32_t CurrentIndex = 0;
    bool ResultsCurrent = false;

    // Shows listing bytes in the listing box, which keeps them byte for byte:
    // what is saved, and where a selection is read back from.
    void SetListing(std::string bytes);
    const std::string& ListingBytes() const;

    QLabel* Label1;
    ListingView* Memo1;

    QAction* N5;
    QAction* N2;
    QMenu* N1;
    QAction* N4;
    QAction* Print1;
    QAction* N6;
    QAction* N3;
    QAction* N7;
    QMenu* N8;
    QAction* N10;
    QAction* N11;
    QAction* N12;
    QAction* Help1;

    void ResultFormShow();
    void ResultFormResize();
    void N5Click();
    void ResultFormClick();
    // Takes the current file and index out of the selected bytes and opens
    // the viewer; returns when it is closed.
    void StartTextView(std::string_view selected);
    // The bytes under the listing box's selection, as the box was filled.
    std::string_view SelectedBytes() const;
    void N3Click();
    void N4Click();
    void Print1Click();
    void Help1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ResultFormCreate();
};

extern TResultForm* ResultForm;

}  // namespace ui
