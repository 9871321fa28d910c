// The search setup window's layout and its browser: the folder list, the
// file list and its filter, and the drive selector, driven through the real
// widgets on a temporary folder tree.
#include "platform/folder_access.h"
#include "ui/RESULT.h"
#include "ui/TEXTVIEW.h"
#include "ui/WHAT.h"
#include "ui/app/application.h"
#include "ui/browser/drive_combo_box.h"
#include "ui/browser/filter_combo_box.h"
#include "ui/browser/list_row_delegate.h"
#include "ui/text/code_page_text.h"
#include "ui_fixture.h"
#include "what_scene.h"
#include "window_data.h"

#include <QLabel>
#include <QMenuBar>
#include <QtTest>

#include <filesystem>

using namespace ui;
using namespace testing_what;
using testing_ui::Choose;
using testing_ui::ErrorBox;
using testing_ui::LineStartingWith;
using testing_ui::OpensViewer;
using testing_ui::SelectLineByKeys;
using testing_ui::UiFixture;
namespace fs = std::filesystem;

class WhatBrowseTest : public QObject {
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
        QCOMPARE(WhatForm->Label1->text(), FromUtf8("テキスト・ファイルをクリックして選んでください"));
        QCOMPARE(WhatForm->Label2->text(), FromUtf8("検索したい文字列を入力してください"));
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
        QCOMPARE(bar->actions()[9]->text(), FromUtf8("ヘルプ"));

        // The grid: 22 rows with the header, one column of 350, rows of 18.
        StringGrid* grid = WhatForm->StringGrid1;
        QCOMPARE(grid->RowCount(), 22);
        QCOMPARE(grid->columnCount(), 1);
        QCOMPARE(grid->columnWidth(0), 350);
        QCOMPARE(grid->rowHeight(5), 18);
        QCOMPARE(grid->horizontalHeader()->height(), 18);
        QCOMPARE(grid->Cell(0), FromUtf8("             選ばれたファイル"));
        QCOMPARE(grid->Row(), 1);
        QVERIFY(WhatForm->Edit1->text().isEmpty());
        QVERIFY(Rows().empty());

        QCOMPARE(WhatForm->FilterComboBox1->count(), 4);
        QCOMPARE(WhatForm->FilterComboBox1->itemText(0), FromUtf8("ﾃｷｽﾄ (*.txt)"));
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
        QCOMPARE(files->Names(), (std::vector<std::string>{"a.txt", "b.txt", "C.TXT", "a.txt", "b.txt", "C.TXT",
                                                           "d.log", "e.doc", "f.exe"}));
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
        QVERIFY(f.ExpectBoxes({ErrorBox(FromUtf8("ﾌｧｲﾙが見つかりません."))}));
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
        QVERIFY(f.ExpectBoxes({ErrorBox(FromUtf8("ﾌｧｲﾙが見つかりません."))}));
        QCOMPARE(drives->currentIndex(), 2);
        QCOMPARE(folders->Directory(), volB + "/sub");
        QCOMPARE(WhatForm->FileListBox1->Directory(), volB + "/sub");

        // A last-visited folder removed since: the volume's root.
        fs::remove_all(scene.Native("volB/sub"));
        QTest::keyClick(drives, Qt::Key_Up);
        QCOMPARE(folders->Directory(), volB);
        QCOMPARE(f.boxes.size(), std::size_t(1));
    }

    void aNameTheCodePageCantWriteIsPickedSearchedAndViewedAsItself() {
        Scene scene;
        scene.Write("docs/caf\xC3\xA9.txt", Sj("港町です\r\n"));
        scene.Write("docs/caf?.txt", Sj("よそ\r\n"));  // '?' is a character like any other
        UiFixture f;
        ShowWindow();
        WhatForm->FileListBox1->SetMask("caf*");
        QCOMPARE(WhatForm->FileListBox1->Names(), (std::vector<std::string>{"caf?.txt", "caf\xC3\xA9.txt"}));
        QCOMPARE(WhatForm->FileListBox1->item(1)->text(), FromUtf8("café.txt"));  // shown as it is named
        QTest::keyClick(WhatForm->FileListBox1, Qt::Key_End);
        QCOMPARE(Rows(), (std::vector<std::string>{scene.Path("docs/caf\xC3\xA9.txt")}));
        TypeText(WhatForm->Edit1, "港町");
        Choose(WhatForm->N1);
        QVERIFY(f.boxes.empty());

        // The listing names it with 〓 for the é; its header line still opens
        // that very file, through its number.
        const std::string shown = scene.Path("docs/caf") + Sj("〓.txt");
        QCOMPARE(WhatForm->Targets[1], shown);
        const int header = LineStartingWith(ResultForm->Memo1, ToQString(shown + " *01"));
        QVERIFY(header >= 0);
        QCOMPARE(ResultForm->Memo1->LineText(static_cast<std::size_t>(header) + 1), FromUtf8("00001: 港町です"));
        SelectLineByKeys(ResultForm->Memo1, header);
        QString firstLine;
        QVERIFY(OpensViewer([] { Choose(ResultForm->N5); },
                            [&] { firstLine = TextViewForm->RichEdit1->document()->firstBlock().text(); }));
        QCOMPARE(firstLine, FromUtf8("00001: 港町です"));
        QCOMPARE(ResultForm->CurrentPath(), scene.Path("docs/caf\xC3\xA9.txt"));
        QVERIFY(f.boxes.empty());
    }
};

QTEST_MAIN(WhatBrowseTest)
#include "what_browse_test.moc"
