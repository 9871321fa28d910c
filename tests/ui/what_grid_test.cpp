// The search setup window's target grid: what adds a file to it and what
// removes one, by mouse and keyboard.
#include "ui/RESULT.h"
#include "ui/WHAT.h"
#include "ui/app/application.h"
#include "ui/listing_box/listing_view.h"
#include "ui/startup.h"
#include "ui/text/native_text.h"
#include "ui_fixture.h"
#include "what_scene.h"

#include <QtTest>

using namespace ui;
using namespace testing_what;
using testing_ui::CautionBox;
using testing_ui::Choose;
using testing_ui::UiFixture;

class WhatGridTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Application::Init(QStringLiteral("/opt/norvane/bin/Norvane")); }

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
        QVERIFY(f.ExpectBoxes({CautionBox(FromUtf8("ファイル指定の数が満杯です (^_^； "), BoxOwner::Application)}));
        QVERIFY(f.boxes.front().enabledWindows.empty());
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
        QTest::keyClick(list, Qt::Key_A);                           // typing jumps to a name
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

    // `Norvane FILE...`: the start-up puts the files in the grid, as clicks
    // would, with the browser in the first one's folder; a box names what it
    // could not take; more than 20 fill the grid and get its box.
    void startingWithFilesPutsThemInTheGrid() {
        Scene scene;
        scene.Write("docs/alpha/caf\xC3\xA9.txt", Sj("港町です\r\n"));
        const std::string inner = scene.Path("docs/alpha/inner.txt");
        const std::string cafe = scene.Path("docs/alpha/caf\xC3\xA9.txt");
        {
            UiFixture f;
            ResultForm->ResultsCurrent = true;
            ShowSetupWindow(std::vector<std::string>{"alpha/inner.txt", "missing.txt", scene.Path("many/f01.txt"),
                                                     "alpha/caf\xC3\xA9.txt", scene.docs});
            QVERIFY(WhatForm->isVisible());
            QCOMPARE(Rows(), (std::vector<std::string>{inner, scene.Path("many/f01.txt"), cafe}));
            QCOMPARE(WhatForm->StringGrid1->Cell(3), FromNative(cafe));  // shown as it is named
            QCOMPARE(WhatForm->StringGrid1->Row(), 4);
            QCOMPARE(WhatForm->DirectoryListBox1->Directory(), scene.Path("docs/alpha"));
            QCOMPARE(WhatForm->FileListBox1->Names(), (std::vector<std::string>{"caf\xC3\xA9.txt", "inner.txt"}));
            QVERIFY(!ResultForm->ResultsCurrent);
            QVERIFY(SearchBoxFocusedAllSelected());
            QVERIFY(f.ExpectBoxes(
                {CautionBox(FromUtf8("選べなかったファイルがあります。\nmissing.txt: ﾌｧｲﾙが見つかりません\n") +
                                FromNative(scene.docs) + FromUtf8(": ﾌｧｲﾙへのｱｸｾｽが拒否されました"),
                            BoxOwner::Application)}));

            // Searched by its native name, listed with 〓.
            TypeText(WhatForm->Edit1, "港町");
            Choose(WhatForm->N1);
            QCOMPARE(WhatForm->TargetFiles, (std::vector<std::string>{inner, scene.Path("many/f01.txt"), cafe}));
            QCOMPARE(WhatForm->Targets[3], scene.Path("docs/alpha/caf") + Sj("〓.txt"));
            QVERIFY(ResultForm->Memo1->ToPlainText().contains(FromUtf8("00001: 港町です")));
            QCOMPARE(f.boxes.size(), std::size_t(1));
        }
        std::filesystem::current_path(scene.docs);  // the browser went elsewhere
        {
            UiFixture f;
            std::vector<std::string> many;
            for (int i = 21; i >= 1; --i)
                many.push_back("../many/f" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".txt");
            ShowSetupWindow(many);
            QCOMPARE(Rows().size(), std::size_t(20));
            QCOMPARE(WhatForm->GridRows.Row(1), scene.Path("many/f21.txt"));
            QCOMPARE(WhatForm->GridRows.Row(20), scene.Path("many/f02.txt"));
            QCOMPARE(WhatForm->StringGrid1->Row(), 21);
            QCOMPARE(WhatForm->DirectoryListBox1->Directory(), scene.Path("many"));
            QVERIFY(f.ExpectBoxes({CautionBox(FromUtf8("ファイル指定の数が満杯です (^_^； "), BoxOwner::Application)}));
            QVERIFY(f.boxes.front().enabledWindows.empty());
        }
    }
};

QTEST_MAIN(WhatGridTest)
#include "what_grid_test.moc"
