// The full-text viewer: ranges, red hit lines, the file error, the text
// limit and the copy command.
#include "ui/TEXTVIEW.h"
#include "ui/RESULT.h"
#include "ui/WHAT.h"
#include "ui/app/application.h"
#include "ui/frame/show_modal.h"
#include "ui_fixture.h"
#include "window_data.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QTextEdit>
#include <QtTest>

#include <algorithm>

using namespace ui;
using namespace testing_ui;

namespace {

// 2100 numbered lines with 港町 in lines 3 (a line of over 4096 bytes),
// 1040, 1045 and 2000.
std::string LongFile() {
    std::string text;
    for (int i = 1; i <= 2100; ++i) {
        if (i == 3) {
            for (int k = 0; k < 2500; ++k) text += Sj("あ");
            text += Sj("港町");
        } else if (i == 1040 || i == 1045 || i == 2000) {
            text += Sj("港町 ") + std::to_string(i);
        } else {
            text += "line " + std::to_string(i);
        }
        text += "\r\n";
    }
    return text;
}

struct RangeSeen {
    QString title;
    int blocks = 0;
    QString firstLine;
    std::vector<LineColour> colours;  // of the probed display lines
    int caret = -1;
    bool selection = true;
};

RangeSeen Look(const std::vector<int>& probe) {
    RangeSeen seen;
    QTextEdit* edit = TextViewForm->RichEdit1;
    seen.title = TextViewForm->windowTitle();
    seen.blocks = edit->document()->blockCount();
    seen.firstLine = edit->document()->firstBlock().text();
    for (const int line : probe) seen.colours.push_back(ColourOf(edit, line));
    seen.caret = edit->textCursor().position();
    seen.selection = edit->textCursor().hasSelection();
    return seen;
}

}  // namespace

class TextViewTest : public QObject {
    Q_OBJECT

    TestFiles files;
    std::string other, longFile;

    void SearchAndPick(const std::string& path, int index) {
        SetSearch("港町", {other, longFile});
        WhatForm->show();
        Choose(WhatForm->N7);
        ResultForm->CurrentFile = path;
        ResultForm->CurrentIndex = index;
    }

private slots:
    void initTestCase() {
        Application::Init(QStringLiteral("/opt/norvane/bin/Norvane"));
        other = files.Write("other.txt", Sj("港町\r\n"));
        longFile = files.Write("long.txt", LongFile());
    }

    // Qt lays a text out a piece at a time; colouring a hit line early in the
    // range once stopped it there, so the rest of the range was never drawn.
    void everyLineOfTheRangeIsDrawnAndReachable() {
        for (const std::vector<int>& hitLines : {std::vector<int>{3}, std::vector<int>{3, 200}, std::vector<int>{}}) {
            UiFixture f;
            std::string text;
            for (int i = 1; i <= 600; ++i) {
                const bool hit = std::find(hitLines.begin(), hitLines.end(), i) != hitLines.end();
                text += (hit ? Sj("港町 ") : std::string("line ")) + std::to_string(i) + "\r\n";
            }
            const std::string path = files.Write("six_hundred.txt", text);
            SetSearch("港町", {path});
            Choose(WhatForm->N7);
            ResultForm->CurrentFile = path;
            ResultForm->CurrentIndex = 1;

            int byScrollBar = -1, byCtrlEnd = -1, byPageDown = -1;
            std::vector<int> redAtTop, redAtEnd;
            ShowModalAndRun([&] {
                QTextEdit* edit = TextViewForm->RichEdit1;
                redAtTop = BlocksDrawnRed(edit);
                QScrollBar* bar = edit->verticalScrollBar();
                // The scroll bar as a user drags it, once the window has had a
                // moment to lay the text out.
                QTRY_VERIFY_WITH_TIMEOUT((bar->setValue(bar->maximum()), LastDrawnBlock(edit) >= 499), 2000);
                byScrollBar = LastDrawnBlock(edit);
                QTest::keyClick(edit, Qt::Key_Home, Qt::ControlModifier);
                QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);
                byCtrlEnd = LastDrawnBlock(edit);
                QTest::keyClick(edit, Qt::Key_Home, Qt::ControlModifier);
                for (int page = 0; page < 100 && bar->value() < bar->maximum(); ++page) {
                    QTest::keyClick(edit, Qt::Key_PageDown);
                }
                byPageDown = LastDrawnBlock(edit);
                redAtEnd = BlocksDrawnRed(edit);
            });
            QVERIFY(f.boxes.empty());
            // Block 499 is line 500, the last of the range; block 500 is the
            // empty line after it.
            QCOMPARE(byScrollBar, 499);
            QCOMPARE(byCtrlEnd, 499);
            QCOMPARE(byPageDown, 499);
            QCOMPARE(redAtTop, hitLines.empty() ? std::vector<int>{} : std::vector<int>{2});
            QCOMPARE(redAtEnd, std::vector<int>{});
        }
    }

    void rangeItemsRenderTheirOwnLines() {
        UiFixture f;
        QCOMPARE(TextViewForm->N1->actions().size(), qsizetype(20));
        QCOMPARE(TextViewForm->RangeItems[0]->text(), QStringLiteral("    1 -   1050"));
        QCOMPARE(TextViewForm->RangeItems[19]->text(), QStringLiteral("19001 - 20050"));
        SearchAndPick(longFile, 2);
        Choose(TextViewForm->RangeItems[2]);  // 2001 - 3050 of 2100 lines
        const QTextDocument* doc = TextViewForm->RichEdit1->document();
        QCOMPARE(doc->firstBlock().text(), QStringLiteral("02001: line 2001"));
        QCOMPARE(doc->blockCount(), 101);
    }

    void hitLinesAreRedInEachOfTwoOverlappingRanges() {
        UiFixture f;
        SearchAndPick(longFile, 2);
        RangeSeen opened, first, second;
        ShowModalAndRun([&] {
            opened = Look({0, 2, 499});
            Choose(TextViewForm->RangeItems[0]);  // 1 - 1050
            first = Look({0, 2, 1039, 1040, 1044});
            Choose(TextViewForm->RangeItems[1]);  // 1001 - 2050
            second = Look({0, 2, 39, 44, 999});
        });
        QVERIFY(f.boxes.empty());
        const QString caption = FromUtf8("全文表示 ⇒　") + QString::fromStdString(longFile);

        QCOMPARE(opened.title, caption);
        QCOMPARE(opened.blocks, 501);  // lines 1 to 500 and the empty line after them
        QCOMPARE(opened.firstLine, QStringLiteral("00001: line 1"));
        QCOMPARE(opened.colours[0].red, 0);
        // 7 label bytes and 2044 characters of two bytes: 4095 bytes; the
        // next character would cross 4096.
        QCOMPARE(opened.colours[1].red, 7 + 2044);
        QVERIFY(opened.colours[1].restBlack);
        QCOMPARE(opened.colours[2].red, 0);
        QCOMPARE(opened.caret, 0);
        QVERIFY(!opened.selection);

        QCOMPARE(first.blocks, 1051);
        QCOMPARE(first.colours[0].red, 0);
        QCOMPARE(first.colours[1].red, 2051);
        QCOMPARE(first.colours[2].red, static_cast<int>(FromUtf8("01040: 港町 1040").size()));
        QCOMPARE(first.colours[3].red, 0);
        QCOMPARE(first.colours[4].red, static_cast<int>(FromUtf8("01045: 港町 1045").size()));
        QVERIFY(first.colours[2].restBlack && first.colours[3].restBlack);
        QCOMPARE(first.caret, 0);

        QCOMPARE(second.firstLine, QStringLiteral("01001: line 1001"));
        QCOMPARE(second.blocks, 1051);
        QCOMPARE(second.colours[0].red, 0);  // nothing of the last range stays red
        QCOMPARE(second.colours[1].red, 0);
        QCOMPARE(second.colours[2].red, static_cast<int>(FromUtf8("01040: 港町 1040").size()));
        QCOMPARE(second.colours[3].red, static_cast<int>(FromUtf8("01045: 港町 1045").size()));
        QCOMPARE(second.colours[4].red, static_cast<int>(FromUtf8("02000: 港町 2000").size()));
        QCOMPARE(second.caret, 0);
        QVERIFY(!second.selection);

        // Past the end of the file: the caption only. An index without a row
        // of the hit table colours nothing.
        ResultForm->CurrentIndex = 37;
        Choose(TextViewForm->RangeItems[3]);  // 3001 - 4050
        QCOMPARE(TextViewForm->RichEdit1->toPlainText(), QString());
        Choose(TextViewForm->RangeItems[0]);
        QCOMPARE(ColourOf(TextViewForm->RichEdit1, 2).red, 0);
    }

    void theColourFollowsFileLinesAcrossLoneLineFeeds() {
        UiFixture f;
        // Line 1 runs over a lone LF; so does line 2, which is no hit.
        const std::string lf = files.Write("lf.txt", Sj("港町\nzz\r\nx\ny\r\n港町\r\n"));
        SetSearch("港町", {lf});
        Choose(WhatForm->N7);
        ResultForm->CurrentFile = lf;
        ResultForm->CurrentIndex = 1;
        Choose(TextViewForm->RangeItems[0]);
        QTextEdit* edit = TextViewForm->RichEdit1;
        QCOMPARE(edit->toPlainText(), FromUtf8("00001: 港町\nzz\n00002: x\ny\n00003: 港町\n"));
        QCOMPARE(ColourOf(edit, 0).red, 9);
        QCOMPARE(ColourOf(edit, 1).red, 2);
        QCOMPARE(ColourOf(edit, 2).red, 0);
        QCOMPARE(ColourOf(edit, 3).red, 0);
        QCOMPARE(ColourOf(edit, 4).red, 9);

        // The caret now sits in red text; the next rendering starts black.
        Choose(TextViewForm->RangeItems[0]);
        QCOMPARE(ColourOf(edit, 2).red, 0);
        QVERIFY(ColourOf(edit, 2).restBlack);
    }

    void aFileErrorIsReportedInItsOwnBoxAndLeavesTheViewerEmpty() {
        UiFixture f;
        SearchAndPick(longFile, 2);
        Choose(TextViewForm->RangeItems[0]);
        QVERIFY(!TextViewForm->RichEdit1->toPlainText().isEmpty());

        ResultForm->CurrentFile = files.Path("none.txt");
        Choose(TextViewForm->RangeItems[1]);
        // A windowed program never reads standard input: an empty path is a
        // file error too.
        ResultForm->CurrentFile.clear();
        Choose(TextViewForm->RangeItems[1]);

        QVERIFY(f.ExpectBoxes({FileAccessBox(), FileAccessBox()}));
        QCOMPARE(TextViewForm->windowTitle(), FromUtf8("全文表示 ⇒　"));
        QVERIFY(TextViewForm->RichEdit1->toPlainText().isEmpty());
        QCOMPARE(TextViewForm->cursor().shape(), Qt::ArrowCursor);  // the hourglass is gone
    }

    // The box of a file error has no owner, so the viewer stays usable behind
    // it; but the viewer is modal, and a box it blocked opened under it and
    // took no key. The real box is shown here, as the system gets it.
    void theFileErrorBoxOpensOverTheViewerAndTakesKeys() {
        UiFixture f;
        const std::string doomed = files.Write("doomed.txt", Sj("港町\r\n"));
        SearchAndPick(doomed, 1);
        MessageBoxes::SetAnswerer({});

        struct KeyCounter : QObject {
            int keys = 0;
            bool eventFilter(QObject*, QEvent* event) override {
                keys += event->type() == QEvent::KeyPress;
                return false;
            }
        } toBox, toViewer;
        QPointer<QMessageBox> box;
        QString text, caption;
        QWidget* parent = nullptr;
        Qt::WindowModality modality = Qt::ApplicationModal;
        QWindow* transientParent = nullptr;
        bool closedByKey = false;
        int tries = 0;
        std::function<void()> lookAtBox = [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible()) box = b;
            }
            if (!box) {
                if (++tries < 200) QTimer::singleShot(10, lookAtBox);
                return;
            }
            text = box->text();
            caption = box->windowTitle();
            parent = box->parentWidget();
            modality = box->windowModality();
            transientParent = box->windowHandle()->transientParent();
            // Keys as the system delivers them: a window a modal one blocks
            // never gets them.
            TextViewForm->windowHandle()->installEventFilter(&toViewer);
            box->windowHandle()->installEventFilter(&toBox);
            QTest::keyClick(TextViewForm->windowHandle(), Qt::Key_Down);
            QTest::keyClick(box->windowHandle(), Qt::Key_Return);
            closedByKey = !box->isVisible();
            if (box && box->isVisible()) box->done(QMessageBox::Ok);
        };
        ShowModalAndRun([&] {
            QVERIFY(QFile::remove(QString::fromStdString(doomed)));
            QTimer::singleShot(0, lookAtBox);
            Choose(TextViewForm->RangeItems[0]);
        });
        QCOMPARE(text, FromUtf8("File アクセスでエラー発生！! "));
        QCOMPARE(caption, FromUtf8("警告"));
        QCOMPARE(parent, nullptr);
        QCOMPARE(modality, Qt::NonModal);
        QCOMPARE(toBox.keys, 1);
        QVERIFY(closedByKey);
        QCOMPARE(toViewer.keys, 1);
        // The system keeps it over the viewer.
        QCOMPARE(transientParent, TextViewForm->windowHandle());
    }

    void theTextStopsAtTheLimit() {
        UiFixture f;
        const std::string wide = files.Write("wide.txt", std::string(200000, 'w') + "\r\n" + Sj("港町") + "\r\n");
        SetSearch("港町", {wide});
        Choose(WhatForm->N7);
        ResultForm->CurrentFile = wide;
        ResultForm->CurrentIndex = 1;
        Choose(TextViewForm->RangeItems[0]);
        const QString text = TextViewForm->RichEdit1->toPlainText();
        QCOMPARE(text.size(), qsizetype(131072));
        QVERIFY(text.startsWith(QStringLiteral("00001: www")));
        QCOMPARE(TextViewForm->RichEdit1->document()->blockCount(), 1);  // the hit line is beyond it
        QVERIFY(f.boxes.empty());
    }

    void copyTakesTheSelectionAsText() {
        UiFixture f;
        SearchAndPick(longFile, 2);
        Choose(TextViewForm->RangeItems[1]);
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText(QStringLiteral("before"));

        Choose(TextViewForm->N2);  // nothing selected
        QCOMPARE(clipboard->text(), QStringLiteral("before"));

        QTextEdit* edit = TextViewForm->RichEdit1;
        const QTextBlock line1040 = edit->document()->findBlockByNumber(39);
        QTextCursor cursor(line1040);
        cursor.setPosition(line1040.position() + 7 + 2, QTextCursor::KeepAnchor);
        edit->setTextCursor(cursor);
        Choose(TextViewForm->N2);
        QCOMPARE(clipboard->text(), FromUtf8("01040: 港町"));

        cursor.setPosition(line1040.position() + 3);
        cursor.setPosition(line1040.next().position() + 5, QTextCursor::KeepAnchor);
        edit->setTextCursor(cursor);
        Choose(TextViewForm->N2);
        QCOMPARE(clipboard->text(), FromUtf8("40: 港町 1040\n01041"));
        QVERIFY(f.boxes.empty());
    }

private:
    // Opens the viewer modally, runs body inside it and closes it again.
    static void ShowModalAndRun(const std::function<void()>& body) {
        WhenModal([body] {
            body();
            Choose(TextViewForm->N5);
        });
        ShowModal(TextViewForm);
    }
};

QTEST_MAIN(TextViewTest)
#include "textview_test.moc"
