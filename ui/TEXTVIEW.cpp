#include "ui/TEXTVIEW.h"

#include "core/errors.h"
#include "core/search/named_file.h"
#include "core/search/range_view.h"
#include "ui/LocalSrch.h"
#include "ui/RESULT.h"
#include "ui/app/application.h"
#include "ui/app/on_triggered.h"
#include "ui/dialogs/message_boxes.h"
#include "ui/frame/hourglass.h"
#include "ui/frame/menu_bar.h"
#include "ui/frame/show_modal.h"
#include "ui/frame/window_fonts.h"
#include "ui/frame/window_geometry.h"
#include "ui/run/background_run.h"
#include "ui/text/code_page_text.h"
#include "ui/working_window.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QShowEvent>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>

#include <memory>
#include <optional>
#include <string_view>

namespace ui {

TTextViewForm* TextViewForm = nullptr;

namespace {
// As the menu has always shown them (the first one has a space more).
constexpr std::array<const char*, 20> kRangeCaptions = {
    "    1 -   1050", " 1001 -  2050", " 2001 -  3050", " 3001 -  4050", " 4001 -  5050",
    " 5001 -  6050",  " 6001 -  7050", " 7001 -  8050", " 8001 -  9050", " 9001 - 10050",
    "10001 - 11050",  "11001 - 12050", "12001 - 13050", "13001 - 14050", "14001 - 15050",
    "15001 - 16050",  "16001 - 17050", "17001 - 18050", "18001 - 19050", "19001 - 20050",
};
}  // namespace

TTextViewForm::TTextViewForm() {
    QMenuBar* bar = SetUpWorkingWindow(this, {.title = "テキスト全文",
                                              .colour = QColor(0, 0, 0),
                                              .font = ProportionalGothicFont(12),
                                              .buttons = CaptionButtons::None});
    N1 = bar->addMenu(FromUtf8("表示範囲(行)(&R)"));
    for (int k = 1; k <= 20; ++k) {
        QAction* item = N1->addAction(QString::fromLatin1(kRangeCaptions[k - 1]));
        RangeItems[k - 1] = item;
        connect(item, &QAction::triggered, this,
                [this, k] { Guarded([&] { TextRangeView(RangeFirst(k), RangeLast(k)); }); });
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
    RichEdit1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    RichEdit1->setLineWrapMode(QTextEdit::NoWrap);
    QPalette palette = RichEdit1->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    RichEdit1->setPalette(palette);
}

void TTextViewForm::TextRangeView(std::int64_t first, std::int64_t last) {
    std::optional<Hourglass> hourglass(std::in_place, this);
    const TResultForm& state = *ResultForm;
    // A selection can make the "path" megabytes long; no caption needs that.
    constexpr std::size_t kCaptionPathBytes = 1024;
    const std::string_view path = state.CurrentFile;
    QString title = ToQString(core::ViewerCaption(path.substr(0, kCaptionPathBytes)));
    if (path.size() > kCaptionPathBytes) title += QStringLiteral("…");
    setWindowTitle(title);
    RichEdit1->clear();
    shown_ = {};

    // The run owns what it touches: it may be left to end alone when cancelled.
    const auto range = std::make_shared<core::RangeView>();
    try {
        RunInBackground(this, FromUtf8("全文表示"),
                        [range, path = std::string(core::RequireNamedFile(state.CurrentPath())),
                         index = state.CurrentIndex, hits = state.HitTable, first, last](core::RunProgress& progress) {
                            *range = core::RenderRange(path, index, hits, first, last,
                                                       core::ViewerBytesNeeded(core::kViewerTextLimit), &progress,
                                                       core::TextForm::FoundInFile());
                        });
    } catch (const core::EInOutError&) {
        hourglass.reset();
        MessageBoxes::Show(
            {FromUtf8("File アクセスでエラー発生！! "), FromUtf8("警告"), BoxIcon::Error, BoxOwner::None});
        return;
    }

    core::RangeView& view = *range;
    // The file's own text, in the encoding it is written in.
    shown_ = core::ViewerBoxText(view.text, core::kViewerTextLimit, *view.encoding);
    view.text = std::string();
    // The text and its red lines reach the document as one change. Qt lays a
    // new text out a piece at a time; a second, partial change (the colour)
    // made while that runs is laid out as if the lines not yet reached had no
    // height, and the layout then counts as done: nothing below the last hit
    // line would be drawn, scrolled to or reachable by Ctrl+End.
    QTextCursor change(RichEdit1->document());
    change.beginEditBlock();
    // setPlainText gives the whole text the current format: plain black.
    QTextCharFormat black;
    black.setForeground(Qt::black);
    RichEdit1->setCurrentCharFormat(black);
    RichEdit1->setPlainText(ShownText(shown_));
    ColourHitLines(change, view.hitDisplayLines);
    change.endEditBlock();
    RichEdit1->setFocus();
    // The caret goes back to line 0, so no hit line needs scrolling to.
    RichEdit1->setTextCursor(QTextCursor(RichEdit1->document()));
}

void TTextViewForm::ColourHitLines(QTextCursor& cursor, const std::vector<std::int64_t>& displayLines) {
    QTextCharFormat red;
    red.setForeground(QColor(255, 0, 0));
    for (const std::int64_t line : displayLines) {
        // A line beyond the text limit was not shown, or only in part.
        if (line < 0 || static_cast<std::uint64_t>(line) >= shown_.lines.size()) continue;
        const auto [from, to] = shown_.lines[static_cast<std::size_t>(line)];
        const std::size_t units = core::UnitsWithinBytes(shown_, from, to, core::kHitColourBytes);
        cursor.setPosition(static_cast<int>(from));
        cursor.setPosition(static_cast<int>(from + units), QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(red);
    }
}

void TTextViewForm::TextViewFormShow() { TextRangeView(1, 500); }

void TTextViewForm::N2Click() {
    const QTextCursor cursor = RichEdit1->textCursor();
    if (!cursor.hasSelection()) return;
    QGuiApplication::clipboard()->setText(cursor.selection().toPlainText());
}

void TTextViewForm::N5Click() { close(); }

void TTextViewForm::N10Click() { ShowModal(LocalSrchForm); }

void TTextViewForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous()) Guarded([this] { TextViewFormShow(); });
}

}  // namespace ui
