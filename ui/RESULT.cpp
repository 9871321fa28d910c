#include "ui/RESULT.h"

#include "core/output/header_selection.h"
#include "core/output/listing_builder.h"
#include "core/output/listing_lines.h"
#include "core/search/global_search.h"
#include "core/search/target_paths.h"
#include "core/str_to_int.h"
#include "ui/TEXTVIEW.h"
#include "ui/WHAT.h"
#include "ui/app/application.h"
#include "ui/app/on_triggered.h"
#include "ui/dialogs/help_viewer.h"
#include "ui/dialogs/message_boxes.h"
#include "ui/frame/menu_bar.h"
#include "ui/frame/show_modal.h"
#include "ui/frame/window_fonts.h"
#include "ui/frame/window_geometry.h"
#include "ui/listing_box/listing_view.h"
#include "ui/output/print_listing.h"
#include "ui/output/save_listing.h"
#include "ui/run/background_run.h"
#include "ui/text/code_page_text.h"
#include "ui/working_window.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QShowEvent>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace ui {

TResultForm* ResultForm = nullptr;

namespace {
// Reports a click (press and release of the left button) on the bare surface
// of a widget, not on any of its children. A label passes its clicks on to
// its parent, so the child under the pointer is what tells them apart.
class BareClickFilter : public QObject {
public:
    BareClickFilter(QWidget* surface, std::function<void()> onClick)
        : QObject(surface), surface_(surface), onClick_(std::move(onClick)) {
        surface->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != surface_) return false;
        const bool press = event->type() == QEvent::MouseButtonPress;
        if (!press && event->type() != QEvent::MouseButtonRelease) return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton) return false;
        const QPoint at = mouse->position().toPoint();
        const bool bare = surface_->rect().contains(at) && surface_->childAt(at) == nullptr;
        if (press) {
            pressed_ = bare;
        } else if (std::exchange(pressed_, false) && bare) {
            onClick_();
        }
        return false;
    }

private:
    QWidget* surface_;
    std::function<void()> onClick_;
    bool pressed_ = false;
};
}  // namespace

TResultForm::TResultForm() {
    QMenuBar* bar = SetUpWorkingWindow(this, {.title = "検索結果",
                                              .colour = QColor(0, 255, 0),
                                              .font = ProportionalGothicFont(12),
                                              .buttons = CaptionButtons::None});
    N5 = AddMenuItem(bar, "全文表示(&A)");
    N5->setStatusTip(FromUtf8("ファイルを選んでからクリック"));
    N5->setToolTip(FromUtf8("ファイルを選んでからクリック"));
    N2 = AddSpacer(bar, "　");
    N1 = bar->addMenu(FromUtf8("出力(&O)"));
    N4 = N1->addAction(FromUtf8("ﾌｧｲﾙへ出力(&F)"));
    Print1 = N1->addAction(FromUtf8("印刷(&P)"));
    N6 = AddSpacer(bar);
    N3 = AddMenuItem(bar, "最初の画面に戻る(&R)");
    N7 = AddSpacer(bar);
    N8 = AddSpacerMenu(bar, "", "");
    N10 = AddSpacer(bar);
    N11 = AddSpacer(bar);
    N12 = AddSpacer(bar);
    Help1 = AddMenuItem(bar, "ヘルプ");
    OnTriggered(N5, this, &TResultForm::N5Click);
    OnTriggered(N3, this, &TResultForm::N3Click);
    OnTriggered(N4, this, &TResultForm::N4Click);
    OnTriggered(Print1, this, &TResultForm::Print1Click);
    OnTriggered(Help1, this, &TResultForm::Help1Click);

    auto* client = new QWidget(this);
    setCentralWidget(client);
    Label1 = new QLabel(client);
    Label1->setGeometry(331, 4, 233, 12);
    Label1->setFont(ProportionalGothicFont(12, true));
    Label1->setStyleSheet(QStringLiteral("color: blue"));
    Label1->setText(FromUtf8("ファイル名の行を選んで「全文表示」"));
    Memo1 = new ListingView(client);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SetListing("Memo1");
    new BareClickFilter(client, [this] { Guarded([this] { ResultFormClick(); }); });

    ResultFormCreate();
}

void TResultForm::ResultFormCreate() {
    const QSize screen = ScreenSize();
    constexpr int kWidth = 580;
    SetOuterBounds(this, kSizeableFrame, screen.width() / 2 - kWidth / 2, 40, kWidth, screen.height() * 4 / 5);
    ResultFormResize();
}

void TResultForm::ResultFormResize() {
    Memo1->setGeometry(0, 16, OuterWidth(this, kSizeableFrame) - 8, OuterHeight(this, kSizeableFrame) - 60);
}

void TResultForm::ResultFormShow() {
    if (ResultsCurrent) return;
    // The run reads on a thread of its own and owns all it touches: it may be
    // left to end alone when cancelled.
    struct Run {
        core::SearchText text;
        std::vector<std::string> targets;
        core::HitTable hits;
        core::ListingLines listing;
    };
    const TWhatForm& what = *WhatForm;
    const auto run = std::make_shared<Run>(Run{core::SearchText::Typed(what.TypedSearchText, what.Targets[0]),
                                               core::TargetFiles(std::span(what.Targets).subspan(1), what.TargetFiles),
                                               {},
                                               {}});
    // Nothing of the window changes until the run has ended whole. A run that
    // fails or is cancelled, however it ends, leaves the previous listing on
    // show with its own hit table and targets: the viewer never colours the
    // lines of a run that is not on show.
    RunInBackground(this, FromUtf8("検索中"), [run](core::RunProgress& progress) {
        // Each target is read in the encoding found in it; the listing is
        // code page 932. Indexed there too, as it comes, so that showing it
        // costs only the screen.
        core::ListingBuilder builder;
        core::ExpectingProgress expecting(progress, builder);
        core::StreamGlobalSearch(run->text, run->targets, run->hits, builder, &expecting, core::Readers::Auto,
                                 core::TextForm::FoundInFile());
        run->listing = builder.Take();
    });
    ShowResults(std::move(run->listing), run->hits, std::move(run->targets));
}

void TResultForm::ShowResults(core::ListingLines listing, const core::HitTable& hits,
                              std::vector<std::string> targets) {
    Memo1->SetListing(std::move(listing));
    // These cannot fail once the listing is shown: the three always agree.
    HitTable = hits;
    ListedFiles = std::move(targets);
    ResultsCurrent = true;
}

std::string TResultForm::CurrentPath() const { return core::SelectedFile(ListedFiles, CurrentIndex, CurrentFile); }

void TResultForm::SetListing(std::string bytes) { Memo1->SetListing(core::ListingLines(std::move(bytes))); }

const std::string& TResultForm::ListingBytes() const { return Memo1->Listing().Bytes(); }

std::string_view TResultForm::SelectedBytes() const { return Memo1->SelectedBytes(); }

void TResultForm::N5Click() { StartTextView(SelectedBytes()); }

void TResultForm::ResultFormClick() { StartTextView(SelectedBytes()); }

void TResultForm::StartTextView(std::string_view selected) {
    const auto header = core::SplitHeaderSelection(selected);
    if (!header) {
        ShowCaution(FromUtf8("ファイル名を示す行を反転表示させて選んでから、\r\n"
                             "「全文表示」メニューをクリックして下さい。"),
                    BoxOwner::Application);
        return;
    }
    // The path is taken even when the number then fails to convert.
    CurrentFile = header->path;
    CurrentIndex = core::StrToInt(header->indexText);
    ShowModal(TextViewForm);
}

void TResultForm::N3Click() {
    hide();
    WhatForm->show();
}

void TResultForm::N4Click() {
    // The listing's targets, the last search's and the grid's: none is saved over.
    std::vector<std::string> targets = ListedFiles;
    const TWhatForm& what = *WhatForm;
    const std::vector<std::string> last = core::TargetFiles(std::span(what.Targets).subspan(1), what.TargetFiles);
    targets.insert(targets.end(), last.begin(), last.end());
    for (int row = core::TargetGrid::kFirstRow; row <= core::TargetGrid::kLastTargetRow; ++row) {
        if (!what.GridRows.Row(row).empty()) targets.push_back(what.GridRows.Row(row));
    }
    SaveListing(ListingBytes(), targets, this);
}

void TResultForm::Print1Click() { PrintListing(*Memo1, this); }

void TResultForm::Help1Click() { HelpViewer::ShowContents(WhatForm); }

void TResultForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // A failed search is shown, and the window opens all the same.
    if (!event->spontaneous()) Guarded([this] { ResultFormShow(); });
}

void TResultForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    ResultFormResize();
}

}  // namespace ui
