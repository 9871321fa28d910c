#include "ui/WHAT.h"

#include "core/browse/start_files.h"
#include "core/errors.h"
#include "core/io_check.h"
#include "platform/code_page.h"
#include "platform/folder_access.h"
#include "platform/mounted_volumes.h"
#include "platform/native_names.h"
#include "ui/RESULT.h"
#include "ui/app/application.h"
#include "ui/app/on_triggered.h"
#include "ui/browser/directory_list_box.h"
#include "ui/browser/drive_combo_box.h"
#include "ui/browser/file_list_box.h"
#include "ui/browser/filter_combo_box.h"
#include "ui/browser/flat_controls.h"
#include "ui/browser/string_grid.h"
#include "ui/dialogs/help_viewer.h"
#include "ui/dialogs/message_boxes.h"
#include "ui/frame/hourglass.h"
#include "ui/frame/menu_bar.h"
#include "ui/frame/window_fonts.h"
#include "ui/frame/window_geometry.h"
#include "ui/search_box/search_box.h"
#include "ui/text/alt_keys.h"
#include "ui/text/code_page_text.h"
#include "ui/text/native_text.h"
#include "ui/working_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>

#include <optional>
#include <string>

namespace ui {

TWhatForm* WhatForm = nullptr;

namespace {

constexpr const char* kGridFull = "ファイル指定の数が満杯です (^_^； ";
constexpr const char* kNothingToSearch = "ファイルが未選択または検索したい語句が未入力です。";
// %1 is the first character that Shift-JIS can't hold.
constexpr const char* kUnwritable = "検索したい語句に、シフトJISで表せない文字「%1」があります。";
// Then a line for each file: its name as given, a colon and the reason.
constexpr const char* kStartRefused = "選べなかったファイルがあります。";
// %1 is the number of further files not taken.
constexpr const char* kMoreStartRefused = "ほかに %1 個";
constexpr const char* kGridHeader = "             選ばれたファイル";
constexpr int kGridRowHeight = 18;
constexpr int kGridColWidth = 350;

std::vector<FilterComboBox::Entry> FilterEntries() {
    const auto entry = [](const char* description, const char* mask) {
        return FilterComboBox::Entry{platform::FixedText(description), platform::FixedText(mask)};
    };
    return {entry("ﾃｷｽﾄ (*.txt)", "*.TXT"), entry("ﾃｷｽﾄ型のﾛｸﾞ (*.log)", "*.LOG"),
            entry("ﾃｷｽﾄ (*.txt, *.log, *.doc)", "*.TXT;*.LOG;*.DOC"), entry("すべてのﾌｧｲﾙ (*.*)", "*.*")};
}

QLabel* NewLabel(const char* text, QWidget* parent, int left, int top) {
    auto* label = new QLabel(FromUtf8(text), parent);
    label->move(left, top);
    return label;
}

}  // namespace

TWhatForm::TWhatForm() {
    QMenuBar* bar = SetUpWorkingWindow(this, {.title = "グローバル検索  for Windows 9x",
                                              .colour = QColor(0, 255, 255),
                                              .font = GothicFont(13, true),
                                              .buttons = CaptionButtons::MinimiseAndClose});
    bar->setFont(GothicFont(13));
    // The classic menu bar puts its items side by side; with gaps the last
    // items would not fit the window's width.
    bar->setStyleSheet(bar->styleSheet() + QStringLiteral("QMenuBar { spacing: 0px; }"));
    N1 = AddMenuItem(bar, "検索開始(&S)");
    N2 = AddMenuItem(bar, "キャンセル(&C)");
    Exit1 = AddMenuItem(bar, "終了(&E)");
    N3 = AddSpacer(bar);
    N4 = AddSpacer(bar);
    N6 = AddSpacer(bar);
    N7 = AddMenuItem(bar, "検索結果の再呼び出し(&G)");
    N5 = AddSpacer(bar);
    N8 = AddSpacerMenu(bar, "　", "　");
    Help1 = AddMenuItem(bar, "ヘルプ");
    OnTriggered(N1, this, &TWhatForm::N1Click);
    OnTriggered(N2, this, &TWhatForm::N2Click);
    OnTriggered(N7, this, &TWhatForm::N7Click);
    OnTriggered(Exit1, this, &TWhatForm::Exit1Click);
    OnTriggered(Help1, this, &TWhatForm::Help1Click);

    auto* client = new QWidget(this);
    setCentralWidget(client);
    Label1 = NewLabel("テキスト・ファイルをクリックして選んでください", client, 20, 10);
    DriveComboBox1 = new DriveComboBox(client);
    DirectoryListBox1 = new DirectoryListBox(client);
    FileListBox1 = new FileListBox(client);
    FilterComboBox1 = new FilterComboBox(client);
    Label3 = NewLabel("⇒", client, 202, 194);
    Label3->setFont(GothicFont(24, true));
    StringGrid1 = new StringGrid(core::TargetGrid::kRowCount, kGridRowHeight, kGridColWidth, client);
    Label2 = NewLabel("検索したい文字列を入力してください", client, 164, 361);
    Label4 = NewLabel("⇒", client, 194, 378);
    Label4->setFont(GothicFont(24, true));
    Edit1 = new SearchBox(client);
    RefuseAltTyping(Edit1);
    for (QLabel* label : {Label1, Label2, Label3, Label4}) label->adjustSize();

    for (QWidget* control : std::initializer_list<QWidget*>{DriveComboBox1, DirectoryListBox1, FileListBox1,
                                                            FilterComboBox1, StringGrid1, Edit1}) {
        control->setFont(GothicFont(13));
    }
    StringGrid1->horizontalHeader()->setFont(GothicFont(13));
    MakeFlat(DirectoryListBox1);
    MakeFlat(FileListBox1);
    MakeFlat(StringGrid1);
    MakeFlat(Edit1);
    setTabOrder(DriveComboBox1, DirectoryListBox1);
    setTabOrder(DirectoryListBox1, FileListBox1);
    setTabOrder(FileListBox1, FilterComboBox1);
    setTabOrder(FilterComboBox1, StringGrid1);
    setTabOrder(StringGrid1, Edit1);

    // Changes flow one way: drive, folder, file list.
    DriveComboBox1->SetDirList(DirectoryListBox1);
    DirectoryListBox1->SetFileList(FileListBox1);
    FilterComboBox1->SetFileList(FileListBox1);
    FilterComboBox1->SetFilter(FilterEntries());

    FileListBox1->OnClick = [this] { FileListBox1Click(); };
    StringGrid1->OnMouseUp = [this](Qt::MouseButton button) { StringGrid1MouseUp(button); };
    StringGrid1->OnRowMoved = [this](int row) { GridRows.SetCurrentRow(row); };
    connect(Edit1, &QLineEdit::textChanged, this, [this] { Guarded([this] { Edit1Change(); }); });

    WhatFormCreate();
    startedIn_ = platform::CurrentFolder();
    OpenStartFolder(startedIn_);
    // The list the label asks to click in.
    FileListBox1->setFocus();
}

void TWhatForm::WhatFormCreate() {
    // Centred by the design-time width, which the next step changes.
    constexpr int kDesignWidth = 539 + kFixedFrame.width;
    constexpr int kWidth = 550, kHeight = 460;
    SetOuterBounds(this, kFixedFrame, ScreenSize().width() / 2 - kDesignWidth / 2, 0, kWidth, kHeight);
    setFixedSize(size());

    DriveComboBox1->setGeometry(16, 38, 185, 18);
    DirectoryListBox1->setGeometry(16, 66, 185, 55);
    FileListBox1->setGeometry(16, 130, 185, 160);
    FilterComboBox1->setGeometry(16, 310, 185, 20);
    StringGrid1->setGeometry(232, 38, 300, 310);
    Edit1->setGeometry(232, 384, 300, 22);
    FileListBox1->SetMask("*.txt");

    StringGrid1->SetCell(0, FromUtf8(kGridHeader));
    GridRows.Clear();
    ShowGridRows();
    Edit1->clear();
}

void TWhatForm::OpenStartFolder(const std::string& start) {
    DriveComboBox1->SetVolumes(platform::MountedVolumes(), start);
    const std::string root = DriveComboBox1->Drive();
    Guarded([&] {
        try {
            DirectoryListBox1->OpenFolder(root, start);
        } catch (const core::EInOutError&) {
            // Started in a folder that can't be listed: begin at the volume's root.
            DirectoryListBox1->OpenFolder(root, root);
        }
    });
}

void TWhatForm::TakeStartFiles(std::span<const std::string> named) {
    if (named.empty()) return;
    const core::StartFiles start = core::ChooseStartFiles(named, startedIn_);
    if (!start.folder.empty()) OpenStartFolder(start.folder);
    for (const std::string& path : start.targets) GridRows.Add(path);
    ShowGridRows();
    if (!start.refused.empty()) {
        QString text = FromUtf8(kStartRefused);
        for (const core::RefusedFile& file : start.refused) {
            text += QLatin1Char('\n') + FromNative(file.named) + QStringLiteral(": ") +
                    ToQString(core::InOutErrorMessage(file.code));
        }
        if (start.moreRefused > 0) {
            text += QLatin1Char('\n') + FromUtf8(kMoreStartRefused).arg(start.moreRefused);
        }
        ShowCaution(text, BoxOwner::Application);
    }
    if (start.leftOver > 0) ShowCaution(FromUtf8(kGridFull), BoxOwner::Application);
    // After the boxes, which take the focus from the windows they disable.
    if (!start.targets.empty()) {
        FocusSearchBox();
        ClearResultsCurrent();
    }
}

void TWhatForm::ShowGridRows() {
    for (int r = core::TargetGrid::kFirstRow; r < core::TargetGrid::kRowCount; ++r) {
        StringGrid1->SetCell(r, FromNative(GridRows.Row(r)));
    }
    StringGrid1->SetRow(GridRows.CurrentRow());
}

void TWhatForm::FocusSearchBox() {
    Edit1->setFocus(Qt::OtherFocusReason);
    Edit1->selectAll();
}

void TWhatForm::ClearResultsCurrent() {
    if (ResultForm) ResultForm->ResultsCurrent = false;
}

void TWhatForm::FileListBox1Click() {
    if (GridRows.CurrentRow() >= core::TargetGrid::kFullRow) {
        ShowCaution(FromUtf8(kGridFull), BoxOwner::Application);
        return;
    }
    // Without a selected file there is nothing to add: an empty row would end
    // the target list there.
    std::string path = FileListBox1->FileName();
    if (path.empty()) return;
    GridRows.Add(std::move(path));
    ShowGridRows();
    FocusSearchBox();
    ClearResultsCurrent();
}

void TWhatForm::StringGrid1MouseUp(Qt::MouseButton) {
    // Whatever the button: the press has already moved the current row, or not.
    GridRows.SetCurrentRow(StringGrid1->Row());
    GridRows.RemoveCurrent();
    ShowGridRows();
    FocusSearchBox();
    ClearResultsCurrent();
}

void TWhatForm::Edit1Change() {
    // Emptying the box leaves the results current; so does the creation
    // handler's emptying, before the result window exists.
    if (!Edit1->text().isEmpty()) ClearResultsCurrent();
}

void TWhatForm::N1Click() {
    std::optional<Hourglass> hourglass;
    hourglass.emplace(this);

    // A character the code page can't hold is never searched as something
    // else: the start is refused and the stored search text stays as it was.
    const TypedText text = EncodeTyped(Edit1->text());
    if (!text.bytes) {
        hourglass.reset();
        ShowCaution(FromUtf8(kUnwritable).arg(text.unheld), BoxOwner::None);
        return;
    }
    // Stored before the checks: a refused start still replaces the search text.
    Targets[0] = *text.bytes;
    TypedSearchText = ToNative(Edit1->text());
    if (Targets[0].empty() || GridRows.Row(core::TargetGrid::kFirstRow).empty()) {
        hourglass.reset();
        ShowCaution(FromUtf8(kNothingToSearch), BoxOwner::None);
        return;
    }

    TargetFiles = GridRows.Targets();
    for (std::size_t i = 0; i < TargetFiles.size(); ++i) Targets[i + 1] = platform::NameToCodePage(TargetFiles[i]);
    if (TargetFiles.size() < Targets.size() - 1) Targets[TargetFiles.size() + 1].clear();

    ResultForm->show();
    hide();
}

void TWhatForm::N2Click() {
    GridRows.Clear();
    ShowGridRows();
    Edit1->clear();
    ClearResultsCurrent();
}

void TWhatForm::N7Click() {
    ResultForm->show();
    hide();
}

void TWhatForm::Exit1Click() { close(); }

void TWhatForm::Help1Click() { HelpViewer::ShowContents(this); }

void TWhatForm::closeEvent(QCloseEvent* event) {
    // The main window: closing it ends the program.
    event->accept();
    QCoreApplication::quit();
}

}  // namespace ui
