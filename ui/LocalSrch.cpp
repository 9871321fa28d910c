#include "ui/LocalSrch.h"

#include "core/output/listing_builder.h"
#include "core/output/listing_lines.h"
#include "core/search/local_search.h"
#include "core/search/named_file.h"
#include "ui/RESULT.h"
#include "ui/app/application.h"
#include "ui/app/on_triggered.h"
#include "ui/dialogs/message_boxes.h"
#include "ui/frame/menu_bar.h"
#include "ui/frame/window_fonts.h"
#include "ui/frame/window_geometry.h"
#include "ui/listing_box/editable_listing_box.h"
#include "ui/run/background_run.h"
#include "ui/search_box/search_box.h"
#include "ui/text/alt_keys.h"
#include "ui/text/code_page_text.h"
#include "ui/text/native_text.h"
#include "ui/working_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QShowEvent>

#include <memory>

namespace ui {

TLocalSrchForm* LocalSrchForm = nullptr;

TLocalSrchForm::TLocalSrchForm() {
    QMenuBar* bar = SetUpWorkingWindow(this, {.title = "ローカル検索",
                                              .colour = QColor(192, 192, 192),
                                              .font = ProportionalGothicFont(12),
                                              .buttons = CaptionButtons::None});
    Find1 = AddMenuItem(bar, "検索(&S)");
    N1 = AddMenuItem(bar, "キャンセル(&C)");
    N2 = AddSpacer(bar);
    Exit1 = AddMenuItem(bar, "終了(&E)");
    OnTriggered(Find1, this, &TLocalSrchForm::Find1Click);
    OnTriggered(N1, this, &TLocalSrchForm::N1Click);
    OnTriggered(Exit1, this, &TLocalSrchForm::Exit1Click);

    auto* client = new QWidget(this);
    setCentralWidget(client);
    Label1 = new QLabel(FromUtf8("検索語句： "), client);
    Label1->move(39, 13);
    Label1->setAutoFillBackground(true);
    Label1->setStyleSheet(QStringLiteral("background: white"));
    Edit1 = new SearchBox(client);
    Edit1->setGeometry(100, 12, 300, 20);
    RefuseAltTyping(Edit1);
    Memo1 = new EditableListingBox(client);
    // Enter in the search box searches, as the menu command does.
    connect(Edit1, &QLineEdit::returnPressed, this, [this] { Guarded([this] { Find1Click(); }); });

    LocalSrchCreate();
}

void TLocalSrchForm::LocalSrchCreate() {
    SetOuterBounds(this, kSizeableFrame, 290, 80, 500, 400);
    Edit1->clear();
    Memo1->Clear();
    LocalSrchFormResize();
}

void TLocalSrchForm::LocalSrchFormResize() {
    Memo1->setGeometry(0, 40, OuterWidth(this, kSizeableFrame) - 16, OuterHeight(this, kSizeableFrame) - 85);
}

void TLocalSrchForm::Find1Click() {
    const TypedText searchText = EncodeTyped(Edit1->text());
    if (!searchText.bytes) {
        ShowCaution(FromUtf8("検索語句の「%1」はシフトJISにない文字なので検索できません。").arg(searchText.unheld),
                    BoxOwner::Application);
        return;
    }
    // The run owns what it touches: it may be left to end alone when cancelled.
    const auto listing = std::make_shared<core::ListingLines>();
    RunInBackground(this, FromUtf8("ローカル検索"),
                    [listing, path = std::string(core::RequireNamedFile(ResultForm->CurrentPath())),
                     text = core::SearchText::Typed(ToNative(Edit1->text()))](core::RunProgress& progress) {
                        // The file is read in the encoding found in it; the
                        // listing is code page 932, indexed as it comes.
                        core::ListingBuilder builder;
                        core::ExpectingProgress expecting(progress, builder);
                        core::StreamLocalSearch(path, text, builder, &expecting, core::TextForm::FoundInFile());
                        *listing = builder.Take();
                    });
    Memo1->SetListing(std::move(*listing));
}

void TLocalSrchForm::N1Click() {
    Edit1->clear();
    Memo1->Clear();
}

void TLocalSrchForm::Exit1Click() {
    N1Click();
    close();
}

void TLocalSrchForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    Edit1->setFocus();
}

void TLocalSrchForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    LocalSrchFormResize();
}

}  // namespace ui
