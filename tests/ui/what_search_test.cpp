// The search setup window's commands: a search started, refused or
// recalled, and whether the results window's listing is still current.
#include "ui/RESULT.h"
#include "ui/WHAT.h"
#include "ui/app/application.h"
#include "ui/listing_box/listing_view.h"
#include "ui_fixture.h"
#include "what_scene.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QtTest>

#include <algorithm>

using namespace ui;
using namespace testing_what;
using testing_ui::CautionBox;
using testing_ui::Choose;
using testing_ui::UiFixture;

class WhatSearchTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Application::Init(QStringLiteral("/opt/norvane/bin/Norvane")); }

    // A phrase copied across a line end of a hard-wrapped text, however it is
    // pasted, is one line in the box, finds the line it was copied from and
    // heads the listing on one line. A NUL is never pasted.
    void aPasteIsJoinedAsTheSearchJoinsLines() {
        Scene scene;
        std::string wrapped;
        for (int i = 1; i <= 300; ++i) {
            wrapped += i == 120 ? Sj("どこで生れたかとんと見当が\r\n　　つかぬ。") : "line " + std::to_string(i);
            wrapped += "\r\n";
        }
        scene.Write("docs/wrapped.txt", wrapped);
        UiFixture f;
        ShowWindow();
        SearchBox* box = WhatForm->Edit1;
        QClipboard* clipboard = QGuiApplication::clipboard();
        const QString joined = FromUtf8("見当がつかぬ");

        clipboard->setText(FromUtf8("見当が\r\n　　つかぬ"));
        box->setFocus();
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), joined);
        // The box's own menu, with the selection replaced.
        box->selectAll();
        clipboard->setText(FromUtf8("見当\n　が\rつかぬ"));
        QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(5, 5), box->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(box, &menuEvent);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        const QList<QAction*> items = menu->actions();
        const auto paste = std::find_if(items.begin(), items.end(), [](const QAction* item) {
            return item->text().startsWith(QLineEdit::tr("&Paste"));
        });
        QVERIFY(paste != items.end());
        (*paste)->trigger();
        menu->close();
        QCOMPARE(box->text(), joined);
        // A drop.
        box->clear();
        QMimeData dragged;
        dragged.setText(FromUtf8("見当が\u2029　つかぬ"));
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        // Qt hands a drop on only within a drag of its own: straight to the box.
        static_cast<QObject*>(box)->event(&drop);
        QCOMPARE(box->text(), joined);
        QVERIFY(f.boxes.empty());

        // A NUL: refused with the box, the text stays as it was.
        clipboard->setText(FromUtf8("見") + QChar(0) + FromUtf8("当"));
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), joined);
        QVERIFY(f.ExpectBoxes(
            {CautionBox(FromUtf8("貼り付ける文字列に NUL 文字 (文字コード 0) があるので、貼り付けません。"),
                        BoxOwner::Application)}));

        ClickFile("wrapped.txt");
        Choose(WhatForm->N1);
        const ListingView* listing = ResultForm->Memo1;
        QCOMPARE(listing->LineText(0), FromUtf8("検索字句：　見当がつかぬ"));
        QCOMPARE(listing->LineText(1), QString());
        QCOMPARE(listing->LineText(3), FromUtf8("00120: どこで生れたかとんと見当が"));
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
        box->setText(FromUtf8("港町"));  // the window's own change counts too
        QVERIFY(!ResultForm->ResultsCurrent);

        ClickFile("b.txt");
        Choose(WhatForm->N1);
        QVERIFY(ResultForm->isVisible());
        QVERIFY(ResultForm->ResultsCurrent);
        const QString first = ResultForm->Memo1->ToPlainText();
        QVERIFY(first.contains(FromUtf8("港町")));

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
        QVERIFY(ResultForm->Memo1->ToPlainText().contains(FromUtf8("別の港町")));
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
        QCOMPARE(box->text(), FromUtf8("港町"));
        QVERIFY(ResultForm->ResultsCurrent);
        QTest::keyClick(box, 'x');
        QCOMPARE(box->text(), FromUtf8("港町x"));
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
            const QString nothing = FromUtf8("ファイルが未選択または検索したい語句が未入力です。");
            return f.ExpectBoxes({CautionBox(nothing, BoxOwner::None)}) && WhatForm->isVisible() &&
                   !ResultForm->isVisible();
        };
        // A search text but no file: refused, and the text is stored all the same.
        TypeText(WhatForm->Edit1, "港町");
        QVERIFY(refused());
        const auto& box = f.boxes.front();
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
        WhatForm->Edit1->setText(FromUtf8("港町 café"));
        f.boxes.clear();
        Choose(WhatForm->N1);
        const QString unheld = FromUtf8("検索したい語句に、シフトJISで表せない文字「é」があります。");
        QVERIFY(f.ExpectBoxes({CautionBox(unheld, BoxOwner::None)}));
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
        WhatForm->Edit1->setText(FromUtf8("朝"));
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
        QTest::sendKeyEvent(QTest::Click, WhatForm->Edit1, Qt::Key_unknown, FromUtf8("港町"), Qt::NoModifier);
        QCOMPARE(WhatForm->Edit1->text(), FromUtf8("港町"));
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
        QVERIFY(ResultForm->Memo1->ToPlainText().contains(FromUtf8("港町の朝")));

        // Back: the grid and the search box keep their content.
        Choose(ResultForm->N3);
        QCOMPARE(Rows().size(), std::size_t(3));
        QCOMPARE(WhatForm->Edit1->text(), FromUtf8("港町"));
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
        QTest::sendKeyEvent(QTest::Click, QApplication::focusWidget(), Qt::Key_unknown, FromUtf8("港町"),
                            Qt::NoModifier);
        key(Qt::Key_S, Qt::AltModifier);
        QVERIFY(ResultForm->isVisible());
        QVERIFY(ResultForm->ListingBytes().find(scene.docs + "/b.txt *02*") != std::string::npos);
        QVERIFY(ResultForm->ListingBytes().find(Sj("00002: 港町の朝")) != std::string::npos);
    }
};

QTEST_MAIN(WhatSearchTest)
#include "what_search_test.moc"
