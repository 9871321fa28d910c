// The search setup window: its layout, the browser, the target grid, the
// search box and the commands, driven through the real widgets on a
// temporary folder tree.
#include "core/browse/folder_path.h"
#include "core/temp_files.h"
#include "platform/code_page.h"
#include "platform/folder_access.h"
#include "platform/native_names.h"
#include "ui/RESULT.h"
#include "ui/WHAT.h"
#include "ui/application.h"
#include "ui/cp_text.h"
#include "ui/directory_list_box.h"
#include "ui/drive_combo_box.h"
#include "ui/file_list_box.h"
#include "ui/filter_combo_box.h"
#include "ui/list_row_delegate.h"
#include "ui/string_grid.h"
#include "ui/listing_view.h"
#include "ui_fixture.h"

#include <QHeaderView>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QtTest>

#include <filesystem>

using namespace ui;
using testing_ui::Choose;
using testing_ui::UiFixture;
namespace fs = std::filesystem;

namespace {

std::string Sj(const char* utf8) { return platform::FixedText(utf8); }

// A folder tree to browse, made for each test, and the process's current
// folder set inside it (the window starts there) and restored afterwards.
class Scene {
public:
    Scene() : saved_(fs::current_path()) {
        docs = Folder("docs");
        Write("docs/a.txt", Sj("一行目\r\n港町の朝\r\n"));
        Write("docs/b.txt", Sj("港町\r\n"));
        Write("docs/C.TXT", Sj("なし\r\n"));
        Write("docs/d.log", "log\r\n");
        Write("docs/e.doc", "doc\r\n");
        Write("docs/f.exe", "exe\r\n");
        Write("docs/.hidden.txt", Sj("港町\r\n"));
        for (const char* sub : {"docs/Zeta", "docs/alpha", "docs/Beta", "docs/.git", "many"}) Folder(sub);
        Write("docs/alpha/inner.txt", Sj("港町の灯\r\n"));
        for (int i = 1; i <= 21; ++i) Write("many/f" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".txt", "x");
        fs::current_path(dir_.Root() / "docs");
    }
    ~Scene() { fs::current_path(saved_); }
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // The folder's path as the browser holds it (code-page bytes).
    std::string Path(const std::string& relative) const {
        return core::JoinPath(platform::NameToCodePage(dir_.Root().string()), Sj(relative.c_str()));
    }
    std::string Folder(const std::string& relative) {
        fs::create_directories(dir_.Root() / relative);
        return Path(relative);
    }
    void Write(const std::string& relative, const std::string& bytes) { dir_.Write(relative, bytes); }
    fs::path Native(const std::string& relative) const { return dir_.Root() / relative; }

    std::string docs;

private:
    fs::path saved_;
    testing_support::TempDir dir_;
};

int RowOf(const std::vector<std::string>& names, const std::string& name) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == name) return static_cast<int>(i);
    }
    return -1;
}

QPoint FilePoint(const std::string& name) {
    FileListBox* list = WhatForm->FileListBox1;
    const int row = RowOf(list->Names(), name);
    if (row < 0) throw std::runtime_error("no such file listed: " + name);
    list->scrollToItem(list->item(row));
    return list->visualItemRect(list->item(row)).center();
}

void ClickFile(const std::string& name, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = {}) {
    QTest::mouseClick(WhatForm->FileListBox1->viewport(), button, modifiers, FilePoint(name));
}

// A real double-click: press, release, the second press, release.
void DoubleClick(QWidget* viewport, QPoint at) {
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
}

QPoint GridRowPoint(int row) {
    StringGrid* grid = WhatForm->StringGrid1;
    QTableWidgetItem* cell = grid->item(row - 1, 0);
    grid->scrollToItem(cell);
    return grid->visualItemRect(cell).topLeft() + QPoint(40, 9);
}

void ClickGridRow(int row, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(WhatForm->StringGrid1->viewport(), button, {}, GridRowPoint(row));
}

void ClickGridHeader(Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(WhatForm->StringGrid1->horizontalHeader()->viewport(), button, {}, QPoint(40, 9));
}

QPoint FolderPoint(const std::string& path) {
    DirectoryListBox* list = WhatForm->DirectoryListBox1;
    const int row = RowOf(list->ItemPaths(), path);
    if (row < 0) throw std::runtime_error("no such folder listed: " + path);
    list->scrollToItem(list->item(row));
    return list->visualItemRect(list->item(row)).center();
}

void TypeText(QWidget* box, const char* utf8) {
    QInputMethodEvent commit;
    commit.setCommitString(Tr(utf8));
    QApplication::sendEvent(box, &commit);
}

std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (int r = 1; r < core::TargetGrid::kRowCount; ++r) rows.push_back(WhatForm->GridRows.Row(r));
    while (!rows.empty() && rows.back().empty()) rows.pop_back();
    return rows;
}

bool SearchBoxFocusedAllSelected() {
    QLineEdit* box = WhatForm->Edit1;
    return WhatForm->focusWidget() == box && box->selectedText() == box->text();
}

void ShowWindow() {
    WhatForm->show();
    WhatForm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(WhatForm));
}

}  // namespace

class WhatTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Application::Init(QStringLiteral("/opt/norvane/bin/Norvane")); }

    void laidOutAsTheWindowIsDesigned() {
        Scene scene;
        UiFixture f;
        ShowWindow();
        auto geometry = [](QWidget* w) { return w->geometry(); };
        QCOMPARE(geometry(WhatForm->DriveComboBox1), QRect(16, 38, 185, 18));
        QCOMPARE(geometry(WhatForm->DirectoryListBox1), QRect(16, 66, 185, 55));
        QCOMPARE(geometry(WhatForm->FileListBox1), QRect(16, 130, 185, 160));
        QCOMPARE(geometry(WhatForm->FilterComboBox1), QRect(16, 310, 185, 20));
        QCOMPARE(geometry(WhatForm->StringGrid1), QRect(232, 38, 300, 310));
        QCOMPARE(geometry(WhatForm->Edit1), QRect(232, 384, 300, 22));
        QCOMPARE(WhatForm->Label1->pos(), QPoint(20, 10));
        QCOMPARE(WhatForm->Label2->pos(), QPoint(164, 361));
        QCOMPARE(WhatForm->Label3->pos(), QPoint(202, 194));
        QCOMPARE(WhatForm->Label4->pos(), QPoint(194, 378));
        QCOMPARE(WhatForm->Label1->text(), Tr("テキスト・ファイルをクリックして選んでください"));
        QCOMPARE(WhatForm->Label2->text(), Tr("検索したい文字列を入力してください"));
        QCOMPARE(WhatForm->Label3->font().pixelSize(), 24);
        QVERIFY(WhatForm->Label1->font().bold() && !WhatForm->Edit1->font().bold());
        // Nothing runs past the client area.
        const QRect client = WhatForm->centralWidget()->rect();
        for (QWidget* w : WhatForm->centralWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            QVERIFY2(client.contains(w->geometry()), qPrintable(w->metaObject()->className()));
        }
        // Every menu item fits the bar: none is pushed into its overflow.
        QMenuBar* bar = WhatForm->menuBar();
        for (QAction* item : bar->actions()) QVERIFY(bar->rect().contains(bar->actionGeometry(item)));
        QCOMPARE(bar->actions().size(), 10);
        QCOMPARE(bar->actions()[9]->text(), Tr("ヘルプ"));

        // The grid: 22 rows with the header, one column of 350, rows of 18.
        StringGrid* grid = WhatForm->StringGrid1;
        QCOMPARE(grid->RowCount(), 22);
        QCOMPARE(grid->columnCount(), 1);
        QCOMPARE(grid->columnWidth(0), 350);
        QCOMPARE(grid->rowHeight(5), 18);
        QCOMPARE(grid->horizontalHeader()->height(), 18);
        QCOMPARE(grid->Cell(0), Tr("             選ばれたファイル"));
        QCOMPARE(grid->Row(), 1);
        QVERIFY(WhatForm->Edit1->text().isEmpty());
        QVERIFY(Rows().empty());

        QCOMPARE(WhatForm->FilterComboBox1->count(), 4);
        QCOMPARE(WhatForm->FilterComboBox1->itemText(0), Tr("ﾃｷｽﾄ (*.txt)"));
        QCOMPARE(WhatForm->FilterComboBox1->currentIndex(), 0);
        QCOMPARE(WhatForm->FileListBox1->Mask(), std::string("*.txt"));
    }

    void theBrowserStartsInTheCurrentFolder() {
        Scene scene;
        UiFixture f;
        ShowWindow();
        DirectoryListBox* folders = WhatForm->DirectoryListBox1;
        QCOMPARE(folders->Directory(), scene.docs);
        // From the root down, then the sub-folders without regard to case, hidden ones left out.
        const auto& paths = folders->ItemPaths();
        QCOMPARE(paths.front(), WhatForm->DriveComboBox1->Drive());
        QCOMPARE(paths[static_cast<std::size_t>(folders->CurrentFolderRow())], scene.docs);
        const std::vector<std::string> subs(paths.begin() + folders->CurrentFolderRow() + 1, paths.end());
        QCOMPARE(subs, (std::vector<std::string>{scene.docs + "/alpha", scene.docs + "/Beta", scene.docs + "/Zeta"}));
        QCOMPARE(folders->currentRow(), folders->CurrentFolderRow());
        // Indents of 2, then 4 more per level; sub-folders one level below the current folder.
        const int level = folders->CurrentFolderRow();
        QCOMPARE(folders->item(0)->data(ListRowDelegate::IndentRole).toInt(), 2);
        QCOMPARE(folders->item(level)->data(ListRowDelegate::IndentRole).toInt(), 2 + 4 * level);
        QCOMPARE(folders->item(level + 1)->data(ListRowDelegate::IndentRole).toInt(), 2 + 4 * (level + 1));

        // Regular, visible files matching *.txt, without regard to case; no selection.
        QCOMPARE(WhatForm->FileListBox1->Names(), (std::vector<std::string>{"a.txt", "b.txt", "C.TXT"}));
        QVERIFY(WhatForm->FileListBox1->selectedItems().isEmpty());
        QVERIFY(WhatForm->DriveComboBox1->currentText().startsWith(ToQString(WhatForm->DriveComboBox1->Drive())));
    }

    void addingPutsTheFileInTheCurrentRowUntilTheGridIsFull() {
        Scene scene;
        UiFixture f;
        ShowWindow();
        ResultForm->ResultsCurrent = true;
        WhatForm->Edit1->setText(QStringLiteral("abc"));
        ResultForm->ResultsCurrent = true;
        ClickFile("b.txt");
        QCOMPARE(WhatForm->GridRows.Row(1), scene.docs + "/b.txt");
        QCOMPARE(WhatForm->StringGrid1->Cell(1), ToQString(scene.docs + "/b.txt"));
        QCOMPARE(WhatForm->StringGrid1->Row(), 2);
        QVERIFY(SearchBoxFocusedAllSelected());
        QVERIFY(!ResultForm->ResultsCurrent);
        // The same file again (the one already selected) is added again.
        ClickFile("b.txt");
        QCOMPARE(Rows(), (std::vector<std::string>{scene.docs + "/b.txt", scene.docs + "/b.txt"}));

        // To the 20th row; then the grid is full.
        WhatForm->GridRows.Clear();
        WhatForm->StringGrid1->SetRow(1);
        WhatForm->DirectoryListBox1->OpenFolder(scene.Path("many"));
        for (int i = 1; i <= 20; ++i) ClickFile("f" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".txt");
        QCOMPARE(WhatForm->GridRows.Row(20), scene.Path("many") + "/f20.txt");
        QCOMPARE(WhatForm->StringGrid1->Row(), 21);
        ResultForm->ResultsCurrent = true;
        ClickFile("f21.txt");
        QCOMPARE(f.boxes.size(), std::size_t(1));
        const auto& box = f.boxes.front();
        QCOMPARE(box.request.text, Tr("ファイル指定の数が満杯です (^_^； "));
        QCOMPARE(box.request.caption, Tr("注意"));
        QCOMPARE(box.request.icon, BoxIcon::Error);
        QCOMPARE(box.request.owner, BoxOwner::Application);
        QVERIFY(box.enabledWindows.empty());
        QCOMPARE(WhatForm->GridRows.Row(21), std::string());
        QCOMPARE(WhatForm->StringGrid1->Row(), 21);
        QVERIFY(ResultForm->ResultsCurrent);
    }

    void everySelectionChangeInTheFileListAdds() {
        Scene scene;
        UiFixture f;
        ShowWindow();
        FileListBox* list = WhatForm->FileListBox1;
        auto path = [&](const char* name) { return scene.docs + "/" + name; };
        // With nothing selected, the first arrow selects the first file.
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_End);
        QTest::keyClick(list, Qt::Key_Home);
        QTest::keyClick(list, Qt::Key_PageDown);
        QTest::keyClick(list, Qt::Key_Up);
        QTest::keyClick(list, Qt::Key_A);  // typing jumps to a name
        QTest::qWait(QApplication::keyboardInputInterval() + 100);  // a new search, not "ac"
        QTest::keyClick(list, Qt::Key_C);
        QTest::keyClick(list, Qt::Key_Down);  // already the last: no change, no add
        QCOMPARE(Rows(), (std::vector<std::string>{path("a.txt"), path("b.txt"), path("C.TXT"), path("a.txt"),
                                                   path("C.TXT"), path("b.txt"), path("a.txt"), path("C.TXT")}));

        // The mouse: a right click, a click below the files and Ctrl on the
        // selected file neither add nor lose the selection; each press of a
        // double-click adds.
        WhatForm->N2->trigger();
        ClickFile("a.txt", Qt::RightButton);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(20, 150));
        QVERIFY(Rows().empty());
        ClickFile("a.txt");
        ClickFile("a.txt", Qt::LeftButton, Qt::ControlModifier);
        QCOMPARE(list->FileName(), path("a.txt"));
        DoubleClick(list->viewport(), FilePoint("b.txt"));
        QCOMPARE(Rows(), (std::vector<std::string>{path("a.txt"), path("a.txt"), path("b.txt"), path("b.txt")}));
        // Dragging over the list adds once, at the release.
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, FilePoint("a.txt"));
        QMouseEvent move(QEvent::MouseMove, FilePoint("C.TXT"), list->viewport()->mapToGlobal(FilePoint("C.TXT")),
                         Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(list->viewport(), &move);
        QCOMPARE(Rows().size(), std::size_t(4));
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, FilePoint("C.TXT"));
        QCOMPARE(Rows().size(), std::size_t(5));
        QCOMPARE(Rows().back(), list->FileName());
    }

    void removingOnEveryReleaseOverTheGrid() {
        Scene scene;
        UiFixture f;
        ShowWindow();
        const std::string a = scene.docs + "/a.txt", b = scene.docs + "/b.txt", c = scene.docs + "/C.TXT";
        ClickFile("a.txt");
        ClickFile("b.txt");
        ClickFile("C.TXT");

        // Row 2 of A, B, C: the press makes it current at once, the release removes it.
        StringGrid* grid = WhatForm->StringGrid1;
        ResultForm->ResultsCurrent = true;
        QTest::mousePress(grid->viewport(), Qt::LeftButton, {}, GridRowPoint(2));
        QCOMPARE(grid->Row(), 2);
        QCOMPARE(Rows().size(), std::size_t(3));
        QTest::mouseRelease(grid->viewport(), Qt::LeftButton, {}, GridRowPoint(2));
        QCOMPARE(Rows(), (std::vector<std::string>{a, c}));
        QCOMPARE(grid->Row(), 3);
        QCOMPARE(grid->Cell(2), ToQString(c));
        QCOMPARE(grid->Cell(3), QString());
        QVERIFY(SearchBoxFocusedAllSelected());
        QVERIFY(!ResultForm->ResultsCurrent);

        // Right after an add, the header and other buttons remove nothing.
        ClickGridHeader();
        ClickGridRow(1, Qt::RightButton);
        ClickGridRow(1, Qt::MiddleButton);
        QCOMPARE(Rows(), (std::vector<std::string>{a, c}));
        QCOMPARE(grid->Row(), 3);

        // The keys move the current row onto a filled row; a release over the
        // header then removes that row.
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Up);
        QTest::keyClick(grid, Qt::Key_Up);
        QCOMPARE(grid->Row(), 1);
        ClickGridHeader();
        QCOMPARE(Rows(), (std::vector<std::string>{c}));
        QCOMPARE(grid->Row(), 2);
        // ...and so does a right-click.
        QTest::keyClick(grid, Qt::Key_Up);
        ClickGridRow(5, Qt::RightButton);
        QVERIFY(Rows().empty());
        QCOMPARE(grid->Row(), 1);

        // An empty row clicked is made current; the next file goes there, and
        // the search stops at the first empty row before it.
        ClickFile("a.txt");
        ClickFile("b.txt");
        ClickGridRow(6);
        QCOMPARE(grid->Row(), 6);
        QCOMPARE(Rows(), (std::vector<std::string>{a, b}));
        ClickFile("C.TXT");
        QCOMPARE(WhatForm->GridRows.Row(6), c);
        QCOMPARE(grid->Row(), 7);
        TypeText(WhatForm->Edit1, "港町");
        Choose(WhatForm->N1);
        QCOMPARE(WhatForm->Targets[1], a);
        QCOMPARE(WhatForm->Targets[2], b);
        QCOMPARE(WhatForm->Targets[3], std::string());
        Choose(ResultForm->N3);

        // A double-click on a row removes that row once.
        ClickGridRow(1);  // removes a; b moves up
        QCOMPARE(WhatForm->GridRows.Row(1), b);
        DoubleClick(grid->viewport(), GridRowPoint(1));
        QCOMPARE(WhatForm->GridRows.Row(1), std::string());
        QCOMPARE(WhatForm->GridRows.Row(6), c);
        QCOMPARE(grid->Row(), 1);
    }

    void theResultsCurrentFlagAfterEachCommand() {
        Scene scene;
        UiFixture f;
        ShowWindow();
        QLineEdit* box = WhatForm->Edit1;
        ResultForm->ResultsCurrent = true;
        box->clear();  // already empty: nothing changes
        QVERIFY(ResultForm->ResultsCurrent);
        TypeText(box, "港");
        QVERIFY(!ResultForm->ResultsCurrent);
        ResultForm->ResultsCurrent = true;
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);  // emptied: the results stay current
        QVERIFY(box->text().isEmpty());
        QVERIFY(ResultForm->ResultsCurrent);
        box->setText(Tr("港町"));  // the window's own change counts too
        QVERIFY(!ResultForm->ResultsCurrent);

        ClickFile("b.txt");
        Choose(WhatForm->N1);
        QVERIFY(ResultForm->isVisible());
        QVERIFY(ResultForm->ResultsCurrent);
        const QString first = ResultForm->Memo1->ToPlainText();
        QVERIFY(first.contains(Tr("港町")));

        // Unchanged inputs: start and recall show the listing without searching
        // again, even though the file has changed meanwhile.
        scene.Write("docs/b.txt", Sj("別の港町\r\n"));
        Choose(ResultForm->N3);
        Choose(WhatForm->N1);
        QCOMPARE(ResultForm->Memo1->ToPlainText(), first);
        Choose(ResultForm->N3);
        Choose(WhatForm->N7);
        QCOMPARE(ResultForm->Memo1->ToPlainText(), first);
        Choose(ResultForm->N3);

        // The clear command clears it, and so does the recall search it forces.
        Choose(WhatForm->N2);
        QVERIFY(!ResultForm->ResultsCurrent);
        QVERIFY(Rows().empty());
        QCOMPARE(WhatForm->StringGrid1->Row(), 1);
        QVERIFY(box->text().isEmpty());
        QCOMPARE(WhatForm->Targets[0], Sj("港町"));  // the target array keeps the last search
        Choose(WhatForm->N7);
        QVERIFY(ResultForm->Memo1->ToPlainText().contains(Tr("別の港町")));
        QVERIFY(ResultForm->ResultsCurrent);
    }

    // One window set over several searches, as a user goes: what a search
    // lists is always what the grid held, never a target of an earlier one.
    void repeatedSearchesListOnlyTheirOwnTargets() {
        Scene scene;
        UiFixture f;
        ShowWindow();
        const auto headers = [] {
            std::vector<std::string> found;
            const std::string& listing = ResultForm->ListingBytes();
            for (std::size_t at = listing.find(" *"); at != std::string::npos; at = listing.find(" *", at + 2)) {
                const std::size_t start = listing.rfind("\r\n", at) + 2;
                found.push_back(listing.substr(start, at + 4 - start));
            }
            return found;
        };
        const std::string a = scene.docs + "/a.txt", b = scene.docs + "/b.txt", c = scene.docs + "/C.TXT";
        for (const char* name : {"a.txt", "b.txt", "C.TXT"}) ClickFile(name);
        TypeText(WhatForm->Edit1, "港町");
        Choose(WhatForm->N1);
        QCOMPARE(headers(), (std::vector<std::string>{a + " *01", b + " *02", c + " *03"}));

        Choose(ResultForm->N3);
        ClickGridRow(2);  // b goes; C moves up
        Choose(WhatForm->N1);
        QCOMPARE(headers(), (std::vector<std::string>{a + " *01", c + " *02"}));

        Choose(ResultForm->N3);
        Choose(WhatForm->N2);
        ClickFile("b.txt");
        TypeText(WhatForm->Edit1, "港町");
        Choose(WhatForm->N1);
        QCOMPARE(headers(), (std::vector<std::string>{b + " *01"}));
        QVERIFY(f.boxes.empty());
    }

    // Alt with a letter belongs to the menus; one that no menu takes types
    // nothing and leaves the results current.
    void altWithALetterNeverTypes() {
        Scene scene;
        UiFixture f;
        ShowWindow();
        QLineEdit* box = WhatForm->Edit1;
        TypeText(box, "港町");
        ResultForm->ResultsCurrent = true;
        for (const char c : {'x', 'a', 'z'}) QTest::keyClick(box, c, Qt::AltModifier);
        QCOMPARE(box->text(), Tr("港町"));
        QVERIFY(ResultForm->ResultsCurrent);
        QTest::keyClick(box, 'x');
        QCOMPARE(box->text(), Tr("港町x"));
    }

    void startRefusedWithItsMessage() {
        Scene scene;
        UiFixture f;
        ShowWindow();
        Qt::CursorShape cursorAtBox = Qt::WaitCursor;
        f.onBox = [&](const MessageBoxRequest&) { cursorAtBox = WhatForm->cursor().shape(); };
        auto refused = [&] {
            f.boxes.clear();
            Choose(WhatForm->N1);
            return f.boxes.size() == 1 && f.boxes.front().request.text == Tr("ファイルが未選択または検索したい語句が未入力です。") &&
                   WhatForm->isVisible() && !ResultForm->isVisible();
        };
        // A search text but no file: refused, and the text is stored all the same.
        TypeText(WhatForm->Edit1, "港町");
        QVERIFY(refused());
        const auto& box = f.boxes.front();
        QCOMPARE(box.request.caption, Tr("注意"));
        QCOMPARE(box.request.icon, BoxIcon::Error);
        QCOMPARE(box.request.owner, BoxOwner::None);
        QVERIFY(std::find(box.enabledWindows.begin(), box.enabledWindows.end(), WhatForm) != box.enabledWindows.end());
        QCOMPARE(cursorAtBox, Qt::ArrowCursor);
        QCOMPARE(WhatForm->Targets[0], Sj("港町"));

        // A file but no search text.
        ClickFile("a.txt");
        WhatForm->Edit1->clear();
        QVERIFY(refused());
        QCOMPARE(WhatForm->Targets[0], std::string());
        // A search text, an empty row 1 and a filled row 2.
        Choose(WhatForm->N2);
        TypeText(WhatForm->Edit1, "港町");
        ClickGridRow(2);
        ClickFile("b.txt");
        QCOMPARE(Rows(), (std::vector<std::string>{"", scene.docs + "/b.txt"}));
        QVERIFY(refused());

        // A character the code page can't hold is never searched as something
        // else: refused, and the stored search text stays as it was.
        WhatForm->N2->trigger();
        ClickFile("a.txt");
        WhatForm->Edit1->setText(Tr("港町 café"));
        f.boxes.clear();
        Choose(WhatForm->N1);
        QCOMPARE(f.boxes.size(), std::size_t(1));
        QCOMPARE(f.boxes.front().request.text, Tr("検索したい語句に、シフトJISで表せない文字「é」があります。"));
        QCOMPARE(f.boxes.front().request.caption, Tr("注意"));
        QCOMPARE(WhatForm->Targets[0], Sj("港町"));
        QVERIFY(WhatForm->isVisible() && !ResultForm->isVisible());
        QCOMPARE(WhatForm->cursor().shape(), Qt::ArrowCursor);
    }

    void recallSearchesTheLastAcceptedTargets() {
        Scene scene;
        UiFixture f;
        ShowWindow();
        const std::string a = scene.docs + "/a.txt";
        ClickFile("a.txt");
        TypeText(WhatForm->Edit1, "港町");
        Choose(WhatForm->N1);
        QVERIFY(ResultForm->ListingBytes().find(a + " *01*") != std::string::npos);
        Choose(ResultForm->N3);

        // New grid content and a refused start with a new text: the recall
        // searches the accepted targets for the refused start's text.
        Choose(WhatForm->N2);
        ClickFile("b.txt");
        ClickGridRow(1);  // removes it again
        WhatForm->Edit1->setText(Tr("朝"));
        Choose(WhatForm->N1);
        QCOMPARE(f.boxes.size(), std::size_t(1));
        ClickFile("b.txt");
        Choose(WhatForm->N7);
        QVERIFY(ResultForm->isVisible() && !WhatForm->isVisible());
        const std::string listing = ResultForm->ListingBytes();
        QVERIFY(listing.find(Sj("検索字句：　朝")) == 0);
        QVERIFY(listing.find(a + " *01*") != std::string::npos);
        QVERIFY(listing.find(Sj("00002: 港町の朝")) != std::string::npos);
        QVERIFY(listing.find(scene.docs + "/b.txt") == std::string::npos);
    }

    void masksFoldersAndTheCurrentFolder() {
        Scene scene;
        UiFixture f;
        ShowWindow();
        FileListBox* files = WhatForm->FileListBox1;
        FilterComboBox* filter = WhatForm->FilterComboBox1;
        // Arrow keys on the filter choose and re-read at once, pattern by pattern.
        QTest::keyClick(filter, Qt::Key_Down);
        QCOMPARE(files->Names(), (std::vector<std::string>{"d.log"}));
        QTest::keyClick(filter, Qt::Key_Down);
        QCOMPARE(files->Mask(), std::string("*.TXT;*.LOG;*.DOC"));
        QCOMPARE(files->Names(), (std::vector<std::string>{"a.txt", "b.txt", "C.TXT", "d.log", "e.doc"}));
        QTest::keyClick(filter, Qt::Key_Down);
        QCOMPARE(files->Names().size(), std::size_t(6));
        // A file matching two patterns is listed twice.
        files->SetMask("*.TXT;*.*");
        QCOMPARE(files->Names(),
                 (std::vector<std::string>{"a.txt", "b.txt", "C.TXT", "a.txt", "b.txt", "C.TXT", "d.log", "e.doc", "f.exe"}));
        QTest::keyClick(filter, Qt::Key_Home);
        QCOMPARE(files->Mask(), std::string("*.TXT"));
        QCOMPARE(files->Names().size(), std::size_t(3));

        // A click or arrow in the folder list only highlights; a double-click or Enter opens.
        DirectoryListBox* folders = WhatForm->DirectoryListBox1;
        QTest::mouseClick(folders->viewport(), Qt::LeftButton, {}, FolderPoint(scene.docs + "/alpha"));
        QCOMPARE(folders->Directory(), scene.docs);
        DoubleClick(folders->viewport(), FolderPoint(scene.docs + "/alpha"));
        QCOMPARE(folders->Directory(), scene.docs + "/alpha");
        QCOMPARE(files->Directory(), scene.docs + "/alpha");
        QCOMPARE(files->Names(), (std::vector<std::string>{"inner.txt"}));
        QVERIFY(files->selectedItems().isEmpty());
        QCOMPARE(fs::current_path(), scene.Native("docs/alpha"));
        QCOMPARE(platform::CurrentFolder(), scene.docs + "/alpha");
        QTest::keyClick(folders, Qt::Key_Up);  // onto docs
        QCOMPARE(folders->Directory(), scene.docs + "/alpha");
        QTest::keyClick(folders, Qt::Key_Return);
        QCOMPARE(folders->Directory(), scene.docs);
        QCOMPARE(fs::current_path(), scene.Native("docs"));

        // A folder gone since it was listed: the file error, both lists as they were.
        fs::remove(scene.Native("docs/Zeta"));
        const auto before = folders->ItemPaths();
        DoubleClick(folders->viewport(), FolderPoint(scene.docs + "/Zeta"));
        QCOMPARE(f.boxes.size(), std::size_t(1));
        QCOMPARE(f.boxes.front().request.text, Tr("ﾌｧｲﾙが見つかりません."));
        QCOMPARE(f.boxes.front().request.caption, QStringLiteral("Norvane"));
        QCOMPARE(folders->Directory(), scene.docs);
        QCOMPARE(folders->ItemPaths(), before);
        QCOMPARE(files->Directory(), scene.docs);
        QCOMPARE(files->Names().size(), std::size_t(3));
        QCOMPARE(fs::current_path(), scene.Native("docs"));
    }

    void theDriveSelectorOpensTheFolderLastVisitedOnAVolume() {
        Scene scene;
        const std::string volA = scene.Folder("volA"), volB = scene.Folder("volB");
        scene.Folder("volB/sub");
        scene.Write("volB/sub/x.txt", "x");
        UiFixture f;
        ShowWindow();
        DriveComboBox* drives = WhatForm->DriveComboBox1;
        DirectoryListBox* folders = WhatForm->DirectoryListBox1;
        using platform::VolumeKind;
        drives->SetVolumes({{volA, VolumeKind::Fixed, "A", ""},
                            {volB, VolumeKind::Removable, "", ""},
                            {scene.Path("gone"), VolumeKind::Network, "", "//srv/gone"}},
                           volA);
        QCOMPARE(drives->currentIndex(), 0);
        QCOMPARE(drives->itemText(0), ToQString(volA + " [A]"));
        QCOMPARE(drives->itemText(1), ToQString(volB));
        QCOMPARE(drives->itemText(2), ToQString(scene.Path("gone") + " //srv/gone"));

        QTest::keyClick(drives, Qt::Key_Down);  // volB, never visited: its root
        QCOMPARE(folders->VolumeRoot(), volB);
        QCOMPARE(folders->Directory(), volB);
        QCOMPARE(folders->ItemPaths().front(), volB);
        DoubleClick(folders->viewport(), FolderPoint(volB + "/sub"));
        QCOMPARE(WhatForm->FileListBox1->Names(), (std::vector<std::string>{"x.txt"}));
        QTest::keyClick(drives, Qt::Key_Up);  // volA
        QCOMPARE(folders->Directory(), volA);
        QTest::keyClick(drives, Qt::Key_Down);  // back to volB: where we left it
        QCOMPARE(folders->Directory(), volB + "/sub");

        // A volume that can't be entered: the selector shows it, the lists the old folder.
        QTest::keyClick(drives, Qt::Key_Down);
        QCOMPARE(f.boxes.size(), std::size_t(1));
        QCOMPARE(f.boxes.front().request.text, Tr("ﾌｧｲﾙが見つかりません."));
        QCOMPARE(drives->currentIndex(), 2);
        QCOMPARE(folders->Directory(), volB + "/sub");
        QCOMPARE(WhatForm->FileListBox1->Directory(), volB + "/sub");

        // A last-visited folder removed since: the volume's root.
        fs::remove_all(scene.Native("volB/sub"));
        QTest::keyClick(drives, Qt::Key_Up);
        QCOMPARE(folders->Directory(), volB);
        QCOMPARE(f.boxes.size(), std::size_t(1));
    }

    void aNameTheCodePageCantWriteNeverOpensAnotherFile() {
        Scene scene;
        scene.Write("docs/caf\xC3\xA9.txt", Sj("港町\r\n"));
        scene.Write("docs/caf?.txt", Sj("港町\r\n"));  // what '?' would name
        UiFixture f;
        ShowWindow();
        QVERIFY(RowOf(WhatForm->FileListBox1->Names(), "caf?.txt") >= 0);
        WhatForm->FileListBox1->SetMask("caf*");
        QCOMPARE(WhatForm->FileListBox1->Names(), (std::vector<std::string>{"caf?.txt", "caf?.txt"}));
        QTest::keyClick(WhatForm->FileListBox1, Qt::Key_Down);
        TypeText(WhatForm->Edit1, "港町");
        Choose(WhatForm->N1);
        QCOMPARE(f.boxes.size(), std::size_t(1));
        QCOMPARE(f.boxes.front().request.text, Tr("不正なﾌｧｲﾙ名です."));
        QVERIFY(!ResultForm->ResultsCurrent);
    }

    void oneSearchByMouse() {
        Scene scene;
        UiFixture f;
        ShowWindow();
        // The hourglass is over the window while the search runs.
        struct CursorAtShow : QObject {
            Qt::CursorShape seen = Qt::ArrowCursor;
            bool eventFilter(QObject*, QEvent* event) override {
                if (event->type() == QEvent::Show) seen = WhatForm->cursor().shape();
                return false;
            }
        } watch;
        ResultForm->installEventFilter(&watch);

        ClickFile("a.txt");
        ClickFile("b.txt");
        ClickFile("C.TXT");
        QTest::sendKeyEvent(QTest::Click, WhatForm->Edit1, Qt::Key_unknown, Tr("港町"), Qt::NoModifier);
        QCOMPARE(WhatForm->Edit1->text(), Tr("港町"));
        Choose(WhatForm->N1);
        ResultForm->removeEventFilter(&watch);

        QCOMPARE(watch.seen, Qt::WaitCursor);
        QCOMPARE(WhatForm->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(ResultForm->isVisible());
        QVERIFY(!WhatForm->isVisible());
        QCOMPARE(WhatForm->Targets[0], Sj("港町"));
        QCOMPARE(WhatForm->Targets[3], scene.docs + "/C.TXT");
        QCOMPARE(WhatForm->Targets[4], std::string());
        const std::string expected = Sj("検索字句：　港町") + "\r\n\r\n" + scene.docs + "/a.txt *01*";
        QCOMPARE(ResultForm->ListingBytes().substr(0, expected.size()), expected);
        const std::string listing = ResultForm->ListingBytes();
        QVERIFY(listing.find(Sj("00002: 港町の朝")) != std::string::npos);
        QVERIFY(listing.find(scene.docs + "/b.txt *02*") != std::string::npos);
        QVERIFY(listing.find(Sj("00001: 港町")) != std::string::npos);
        QVERIFY(listing.find(scene.docs + "/C.TXT *03*") != std::string::npos);
        QVERIFY(ResultForm->Memo1->ToPlainText().contains(Tr("港町の朝")));

        // Back: the grid and the search box keep their content.
        Choose(ResultForm->N3);
        QCOMPARE(Rows().size(), std::size_t(3));
        QCOMPARE(WhatForm->Edit1->text(), Tr("港町"));
    }

    void oneSearchByKeyboardAlone() {
        Scene scene;
        UiFixture f;
        ShowWindow();
        auto key = [](Qt::Key k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(QApplication::focusWidget(), k, m); };
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(WhatForm->FileListBox1));
        key(Qt::Key_Down);  // a.txt, and the focus goes to the search box
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(WhatForm->Edit1));
        for (int i = 0; i < 3; ++i) key(Qt::Key_Backtab);  // grid, filter, file list
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(WhatForm->FileListBox1));
        key(Qt::Key_Down);  // b.txt
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, Tr("港町"), Qt::NoModifier);
        key(Qt::Key_S, Qt::AltModifier);
        QVERIFY(ResultForm->isVisible());
        QVERIFY(ResultForm->ListingBytes().find(scene.docs + "/b.txt *02*") != std::string::npos);
        QVERIFY(ResultForm->ListingBytes().find(Sj("00002: 港町の朝")) != std::string::npos);
    }
};

QTEST_MAIN(WhatTest)
#include "what_test.moc"
