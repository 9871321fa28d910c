#include "ui/TEXTVIEW.h"

#include "ui/LocalSrch.h"
#include "ui/RESULT.h"
#include "ui/cp_text.h"
#include "ui/window_frame.h"

#include <QMenu>
#include <QMenuBar>
#include <QShowEvent>
#include <QTextEdit>

namespace ui {

TTextViewForm* TextViewForm = nullptr;

namespace {
// As the menu has always shown them (the first one has a space more).
constexpr std::array<const char*, 20> kRangeCaptions = {
    "    1 -   1050", " 1001 -  2050", " 2001 -  3050", " 3001 -  4050", " 4001 -  5050",
    " 5001 -  6050", " 6001 -  7050", " 7001 -  8050", " 8001 -  9050", " 9001 - 10050",
    "10001 - 11050", "11001 - 12050", "12001 - 13050", "13001 - 14050", "14001 - 15050",
    "15001 - 16050", "16001 - 17050", "17001 - 18050", "18001 - 19050", "19001 - 20050",
};
}  // namespace

TTextViewForm::TTextViewForm() {
    setWindowTitle(Tr("テキスト全文"));
    SetWindowColour(this, QColor(0, 0, 0));
    setFont(ProportionalGothicFont(12));
    RemoveCaptionButtons(this);

    QMenuBar* bar = menuBar();
    StyleMenuBar(bar);
    N1 = bar->addMenu(Tr("表示範囲(行)(&R)"));
    for (int k = 1; k <= 20; ++k) {
        QAction* item = N1->addAction(QString::fromLatin1(kRangeCaptions[k - 1]));
        RangeItems[k - 1] = item;
        connect(item, &QAction::triggered, this, [this, k] { Guarded([&] { TextRangeView(RangeFirst(k), RangeLast(k)); }); });
    }
    N3 = AddSpacer(bar);
    N2 = AddMenuItem(bar, "クリップ(&C)");
    N4 = AddSpacer(bar);
    N5 = AddMenuItem(bar, "消去(&D)");
    N6 = AddSpacer(bar);
    N7 = AddSpacer(bar);
    N8 = AddSpacerMenu(bar, "", "");
    N10 = AddMenuItem(bar, "ローカル検索(&L)");
    OnTriggered(N2, this, &TTextViewForm::N2Click);
    OnTriggered(N5, this, &TTextViewForm::N5Click);
    OnTriggered(N10, this, &TTextViewForm::N10Click);

    RichEdit1 = new QTextEdit(this);
    setCentralWidget(RichEdit1);

    TextViewFormCreate();
}

void TTextViewForm::TextViewFormCreate() {
    const QPoint result = ResultForm->pos();
    SetOuterBounds(this, kSizeableFrame, result.x() + 100, result.y() + 40, 580, ScreenSize().height() * 4 / 5);
    RichEdit1->setAcceptRichText(false);
    RichEdit1->setReadOnly(true);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
}

void TTextViewForm::TextRangeView(std::int64_t, std::int64_t) {}

void TTextViewForm::TextViewFormShow() { TextRangeView(1, 500); }

void TTextViewForm::N2Click() {}

void TTextViewForm::N5Click() { close(); }

void TTextViewForm::N10Click() { ShowModal(LocalSrchForm); }

void TTextViewForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) Guarded([this] { TextViewFormShow(); });
}

}  // namespace ui
