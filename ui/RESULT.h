// The result window: the listing of the global search, and the way into the
// full-text viewer.
#pragma once

#include "core/output/listing_lines.h"
#include "core/search/hit_table.h"

#include <QMainWindow>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
    // The native paths of the targets of the listing, target 1 first.
    std::vector<std::string> ListedFiles;
    // The current file as the system names it: through its number when the
    // listing shows its name in a form that is not exact.
    std::string CurrentPath() const;
    bool ResultsCurrent = false;

    // Shows listing bytes in the listing box, which keeps them byte for byte:
    // what is saved, and where a selection is read back from.
    void SetListing(std::string bytes);
    const std::string& ListingBytes() const;

    QLabel* Label1;
    ListingView* Memo1;

    QAction* N5;      // 全文表示(&A)
    QAction* N2;      // spacer "　"
    QMenu* N1;        // 出力(&O), holding N4 and Print1
    QAction* N4;      // ﾌｧｲﾙへ出力(&F)
    QAction* Print1;  // 印刷(&P)
    QAction* N6;      // spacer
    QAction* N3;      // 最初の画面に戻る(&R)
    QAction* N7;      // spacer
    QMenu* N8;        // spacer, with one blank item
    QAction* N10;     // spacer
    QAction* N11;     // spacer
    QAction* N12;     // spacer
    QAction* Help1;   // ヘルプ

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
    // Puts a run's listing on show with the hit table and the targets that
    // belong to it, all three together.
    void ShowResults(core::ListingLines listing, const core::HitTable& hits, std::vector<std::string> targets);
};

extern TResultForm* ResultForm;

}  // namespace ui
