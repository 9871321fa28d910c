#include "ui/RESULT.h"

#include "core/global_search.h"
#include "ui/TEXTVIEW.h"
#include "ui/WHAT.h"
#include "ui/cp_text.h"
#include "ui/help_viewer.h"
#include "ui/window_frame.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QShowEvent>

#include <span>

namespace ui {

TResultForm* ResultForm = nullptr;

TResultForm::TResultForm() {
    setWindowTitle(Tr("検索結果"));
    SetWindowColour(this, QColor(0, 255, 0));
    setFont(ProportionalGothicFont(12));
    RemoveCaptionButtons(this);

    QMenuBar* bar = menuBar();
    StyleMenuBar(bar);
    N5 = AddMenuItem(bar, "全文表示(&A)");
    N5->setStatusTip(Tr("ファイルを選んでからクリック"));
    N5->setToolTip(Tr("ファイルを選んでからクリック"));
    N2 = AddSpacer(bar, "　");
    N1 = bar->addMenu(Tr("出力(&O)"));
    N4 = N1->addAction(Tr("ﾌｧｲﾙへ出力(&F)"));
    Print1 = N1->addAction(Tr("印刷(&P)"));
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
    Memo1 = new QPlainTextEdit(client);
    Memo1->setPlainText(Listing.Text());

    ResultFormCreate();
}

void TResultForm::ResultFormCreate() {
    const QSize screen = ScreenSize();
    constexpr int kWidth = 580;
    SetOuterBounds(this, kSizeableFrame, screen.width() / 2 - kWidth / 2, 40, kWidth, screen.height() * 4 / 5);
    Memo1->setReadOnly(true);
    ResultFormResize();
}

void TResultForm::ResultFormResize() {
    Memo1->setGeometry(0, 16, OuterWidth(this, kSizeableFrame) - 8, OuterHeight(this, kSizeableFrame) - 60);
}

void TResultForm::ResultFormShow() {
    if (ResultsCurrent) return;
    const auto& targets = WhatForm->Targets;
    auto listing =
        core::RunGlobalSearch(targets[0], std::span<const std::string>(targets).subspan(1), HitTable);
    SetListing(std::move(listing.text));
    ResultsCurrent = true;
}

void TResultForm::SetListing(std::string bytes) {
    Listing = CodePageText(std::move(bytes));
    Memo1->setPlainText(Listing.Text());
}

void TResultForm::N5Click() {}

void TResultForm::N3Click() {
    hide();
    WhatForm->show();
}

void TResultForm::N4Click() {}

void TResultForm::Print1Click() {}

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
