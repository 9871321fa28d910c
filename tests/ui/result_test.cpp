// The result window: the listing box, reading a target out of the selection,
// and the click on the strip above the listing.
#include "ui/RESULT.h"
#include "core/search/listing_format.h"
#include "ui/TEXTVIEW.h"
#include "ui/WHAT.h"
#include "ui/app/application.h"
#include "ui/frame/window_geometry.h"
#include "ui/run/background_run.h"
#include "ui_fixture.h"
#include "window_data.h"

#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QTextEdit>
#include <QtTest>

#include <future>

using namespace ui;
using namespace testing_ui;

class ResultTest : public QObject {
    Q_OBJECT

    TestFiles files;
    std::string a, b;

    // Searches a and b for 港町 and shows the result window.
    void SearchAandB() {
        SetSearch("港町", {a, b});
        WhatForm->show();
        Choose(WhatForm->N7);
        QVERIFY(ResultForm->ResultsCurrent);
    }
    // What the window says when the selection names no target.
    static ExpectedBox PickAHeaderLine() {
        return CautionBox(FromUtf8("ファイル名を示す行を反転表示させて選んでから、\r\n"
                                   "「全文表示」メニューをクリックして下さい。"),
                          BoxOwner::Application);
    }
    int HeaderBlock(const std::string& path) {
        return LineStartingWith(ResultForm->Memo1, QString::fromStdString(path) + " *");
    }

    // The display lines the viewer colours red when opened from the header
    // line of path in the listing on show.
    std::vector<int> RedLinesOfViewer(const std::string& path) {
        std::vector<int> red;
        SelectLineByKeys(ResultForm->Memo1, HeaderBlock(path));
        const bool opened = OpensViewer([] { Choose(ResultForm->N5); },
                                        [&] {
                                            QTextEdit* edit = TextViewForm->RichEdit1;
                                            for (int line = 0; line < edit->document()->blockCount(); ++line) {
                                                if (ColourOf(edit, line).red > 0) red.push_back(line);
                                            }
                                        });
        if (!opened) red.push_back(-1);
        return red;
    }

private slots:
    void initTestCase() {
        Application::Init(QStringLiteral("/opt/norvane/bin/Norvane"));
        a = files.Write("a.txt", Sj("港町の朝\r\n静かな海\r\n"));
        b = files.Write("b.txt", Sj("山の上\r\n　古い港町\r\n"));
    }

    void listingBoxBeforeAndAfterTheFirstSearch() {
        UiFixture f;
        QCOMPARE(ResultForm->windowTitle(), FromUtf8("検索結果"));
        QCOMPARE(ResultForm->Memo1->ToPlainText(), QStringLiteral("Memo1"));

        SearchAandB();
        const QString shown = ResultForm->Memo1->ToPlainText();
        QVERIFY(shown.startsWith(FromUtf8("検索字句：　港町\n\n")));
        QVERIFY(shown.contains(QString::fromStdString(b) + FromUtf8(" *02****")));
        QVERIFY(shown.contains(FromUtf8("00002: 古い港町\n")));
        // Read-only: typing changes nothing.
        ResultForm->Memo1->setFocus();
        QTest::keyClicks(ResultForm->Memo1, QStringLiteral("xy"));
        QTest::keyClick(ResultForm->Memo1, Qt::Key_Backspace);
        QCOMPARE(ResultForm->Memo1->ToPlainText(), shown);

        // The box follows the window's size.
        ResultForm->resize(700, 500);
        QCOMPARE(ResultForm->Memo1->width(), OuterWidth(ResultForm, kSizeableFrame) - 8);
        QCOMPARE(ResultForm->Memo1->height(), OuterHeight(ResultForm, kSizeableFrame) - 60);
    }

    void aWholeHeaderLineOrItsStartOpensTheViewerOnThatTarget() {
        UiFixture f;
        SearchAandB();
        SelectLineByKeys(ResultForm->Memo1, HeaderBlock(b));
        QString title;
        QVERIFY(OpensViewer([] { Choose(ResultForm->N5); }, [&] { title = TextViewForm->windowTitle(); }));
        QCOMPARE(ResultForm->CurrentFile, b);
        QCOMPARE(ResultForm->CurrentIndex, 2);
        QCOMPARE(title, FromUtf8("全文表示 ⇒　") + QString::fromStdString(b));

        // From the start of the line to the two digits: the asterisks are not needed.
        const auto start = static_cast<std::size_t>(HeaderBlock(a));
        SelectPositions(ResultForm->Memo1, {start, 0}, {start, static_cast<int>(a.size()) + 4});
        QVERIFY(OpensViewer([] { Choose(ResultForm->N5); }));
        QCOMPARE(ResultForm->CurrentFile, a);
        QCOMPARE(ResultForm->CurrentIndex, 1);

        // Several lines: the first " *" decides.
        const std::size_t last = ResultForm->Memo1->Listing().Count() - 1;
        SelectPositions(ResultForm->Memo1, {start, 0}, {last, 0});
        QVERIFY(OpensViewer([] { Choose(ResultForm->N5); }));
        QCOMPARE(ResultForm->CurrentFile, a);
        QCOMPARE(ResultForm->CurrentIndex, 1);
        QVERIFY(f.boxes.empty());
    }

    void aSelectionWithoutTheMarkIsAnsweredAndChangesNothing() {
        UiFixture f;
        SearchAandB();
        ResultForm->CurrentFile = "before";
        ResultForm->CurrentIndex = 9;
        const auto start = static_cast<std::size_t>(HeaderBlock(b));
        SelectPositions(ResultForm->Memo1, {start, 0}, {start, static_cast<int>(b.size())});  // the path alone
        QVERIFY(!OpensViewer([] { Choose(ResultForm->N5); }));
        SelectPositions(ResultForm->Memo1, {start, 0}, {start, 0});  // nothing
        QVERIFY(!OpensViewer([] { Choose(ResultForm->N5); }));

        QVERIFY(f.ExpectBoxes({PickAHeaderLine(), PickAHeaderLine()}));
        for (const SeenBox& box : f.boxes) QVERIFY(box.enabledWindows.empty());
        QCOMPARE(ResultForm->CurrentFile, std::string("before"));
        QCOMPARE(ResultForm->CurrentIndex, 9);
    }

    void aHeaderLineCutShortFailsToConvertAfterTakingThePath() {
        UiFixture f;
        // 78 bytes of path: the 80-byte header line keeps " *" and no digit.
        const std::size_t nameLength = 78 - files.RootLength() - 1;
        const std::string longPath =
            files.Write(QString(static_cast<int>(nameLength), QLatin1Char('n')), Sj("港町\r\n"));
        QCOMPARE(longPath.size(), std::size_t(78));
        SetSearch("港町", {a, longPath});
        Choose(WhatForm->N7);
        ResultForm->CurrentIndex = 5;

        // Narrow enough that the header line wraps: the selection still takes all of it.
        ResultForm->resize(300, 400);
        SelectLineByKeys(ResultForm->Memo1, HeaderBlock(longPath));
        QVERIFY(!OpensViewer([] { Choose(ResultForm->N5); }));
        QVERIFY(f.ExpectBoxes({ErrorBox(FromUtf8("'' は整数ではありません."))}));
        QCOMPARE(ResultForm->CurrentFile, longPath);
        QCOMPARE(ResultForm->CurrentIndex, 5);
    }

    void theBareStripAboveTheListingOpensTheViewerButTheLabelDoesNot() {
        UiFixture f;
        SearchAandB();
        QWidget* strip = ResultForm->centralWidget();
        SelectLineByKeys(ResultForm->Memo1, HeaderBlock(b));
        QVERIFY(OpensViewer([&] { QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(20, 8)); }));
        QCOMPARE(ResultForm->CurrentFile, b);

        ResultForm->CurrentFile.clear();
        QVERIFY(!OpensViewer([] { QTest::mouseClick(ResultForm->Label1, Qt::LeftButton, {}, QPoint(5, 5)); }));
        QVERIFY(!OpensViewer([&] { QTest::mouseClick(strip, Qt::RightButton, {}, QPoint(20, 8)); }));
        // Pressed on the label, released on the strip: no click.
        QVERIFY(!OpensViewer([&] {
            QTest::mousePress(ResultForm->Label1, Qt::LeftButton, {}, QPoint(5, 5));
            QTest::mouseRelease(strip, Qt::LeftButton, {}, QPoint(20, 8));
        }));
        QVERIFY(ResultForm->CurrentFile.empty());
        QVERIFY(f.boxes.empty());

        SelectPositions(ResultForm->Memo1, {}, {});
        QVERIFY(!OpensViewer([&] { QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(20, 8)); }));
        QVERIFY(f.ExpectBoxes({PickAHeaderLine()}));
    }

    void aHugeLineShowsCutWhileItsBytesStayAndSelectionsStillMapRight() {
        UiFixture f;
        // One line of an LF-only file: a NUL, a megabyte, and a mark that
        // only the hidden part holds.
        std::string line = Sj("港町") + std::string(1, '\0') + "\n";
        line += std::string(1 << 20, 'x') + " *07";
        const std::string huge = files.Write("huge.txt", line);
        SetSearch("港町", {huge, b});
        Choose(WhatForm->N7);

        const std::string& bytes = ResultForm->ListingBytes();
        QVERIFY(bytes.find("00001: " + line + "\r\n") != std::string::npos);
        const auto hitLine = static_cast<std::size_t>(HeaderBlock(huge) + 1);
        const QString shown = ResultForm->Memo1->LineText(hitLine);
        QVERIFY(shown.startsWith(FromUtf8("00001: 港町␀") + QChar(0x2028) + QStringLiteral("xxx")));
        QVERIFY(shown.endsWith(FromUtf8("…(以下省略)")));
        QVERIFY(shown.size() < 4200);

        // A header line after the cut one.
        SelectLineByKeys(ResultForm->Memo1, HeaderBlock(b));
        QVERIFY(OpensViewer([] { Choose(ResultForm->N5); }));
        QCOMPARE(ResultForm->CurrentFile, b);
        QCOMPARE(ResultForm->CurrentIndex, 2);

        // A selection over the whole cut line holds its hidden bytes too.
        SelectPositions(ResultForm->Memo1, {hitLine, 0}, {hitLine + 1, 0});
        QCOMPARE(ResultForm->SelectedBytes(), "00001: " + line + "\r\n");
        QVERIFY(OpensViewer([] { Choose(ResultForm->N5); }));
        QCOMPARE(ResultForm->CurrentFile, "00001: " + line.substr(0, line.size() - 4));
        QCOMPARE(ResultForm->CurrentIndex, 7);
        QVERIFY(f.ExpectBoxes({FileAccessBox()}));  // the viewer's, for that "path"
    }

    void aFailedRunShowsTheErrorAndThePreviousListing() {
        UiFixture f;
        SearchAandB();
        const std::string before = ResultForm->ListingBytes();
        const QString shownBefore = ResultForm->Memo1->ToPlainText();
        Choose(ResultForm->N3);
        SetSearch("港町", {a, files.Path("missing.txt")});
        ResultForm->ResultsCurrent = false;
        Choose(WhatForm->N7);
        QVERIFY(ResultForm->isVisible());
        QVERIFY(f.ExpectBoxes({ErrorBox(FromUtf8("ﾌｧｲﾙが見つかりません."))}));
        QCOMPARE(ResultForm->ListingBytes(), before);
        QCOMPARE(ResultForm->Memo1->ToPlainText(), shownBefore);
        QVERIFY(!ResultForm->ResultsCurrent);
    }

    // However a run ends early, the listing on show stays, and so do the hit
    // lines the viewer colours and the files it opens: those of that listing,
    // never a part of the run that did not end.
    void everyEarlyEndLeavesTheListingWithItsOwnRedLines() {
        using namespace std::chrono_literals;
        // 600 lines: 見当 on lines 2, 4 and 450, 薄暗い on lines 3 and 451;
        // the second target is big enough to be cut off while being read.
        std::string text;
        for (int i = 1; i <= 600; ++i) {
            const bool first = i == 2 || i == 4 || i == 450, second = i == 3 || i == 451;
            text += (first    ? Sj("見当がつかぬ ")
                     : second ? Sj("薄暗いじめじめ ")
                              : std::string("line ")) +
                    std::to_string(i) + "\r\n";
        }
        const std::string prose = files.Write("prose.txt", text);
        std::string bulk;
        for (int i = 0; i < 40000; ++i) bulk += Sj("薄暗いところでニャーニャー泣いていた\r\n");
        const std::string big = files.Write("big.txt", bulk);
        const std::vector<int> wanted{1, 3, 449};  // display lines: file line - 1

        enum class End { FolderTarget, VanishedFile, Escape, CloseBox };
        for (const End end : {End::FolderTarget, End::VanishedFile, End::Escape, End::CloseBox}) {
            UiFixture f;
            SetSearch("見当", {prose});
            WhatForm->show();
            Choose(WhatForm->N7);
            const std::string listing = ResultForm->ListingBytes();
            QCOMPARE(RedLinesOfViewer(prose), wanted);
            Choose(ResultForm->N3);

            std::promise<void> go;
            std::string second = big;
            if (end == End::FolderTarget) {
                second = files.Path("folder");
                QVERIFY(QDir().mkpath(QString::fromStdString(second)));
            } else if (end == End::VanishedFile) {
                second = files.Write("gone.txt", Sj("薄暗い\r\n"));
                QVERIFY(QFile::remove(QString::fromStdString(second)));
            } else {
                // The run waits until the progress window is up; it is then
                // let go and ended from the window at once.
                SetRunTimingForTests(0ms, [ready = go.get_future().share()] { ready.wait(); });
                WhenModal([&] {
                    auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                    go.set_value();
                    if (!window) return;
                    if (end == End::Escape) {
                        QTest::keyClick(window, Qt::Key_Escape);
                    } else {
                        window->close();  // Alt+F4
                    }
                });
            }
            SetSearch("薄暗い", {prose, second});
            ResultForm->ResultsCurrent = false;  // as a changed input does
            Choose(WhatForm->N7);
            SetRunTimingForTests(500ms);
            QTRY_VERIFY(!RunsStillGoing());
            QVERIFY(ResultForm->isVisible());
            QVERIFY(!ResultForm->ResultsCurrent);
            QCOMPARE(ResultForm->ListingBytes(), listing);
            QCOMPARE(RedLinesOfViewer(prose), wanted);
            QCOMPARE(f.boxes.size(), end == End::Escape || end == End::CloseBox ? 0U : 1U);
        }

        // A run that ends whole shows its own.
        UiFixture f;
        SetSearch("薄暗い", {prose});
        ResultForm->ResultsCurrent = false;
        Choose(WhatForm->N7);
        QVERIFY(ResultForm->ResultsCurrent);
        QCOMPARE(RedLinesOfViewer(prose), (std::vector<int>{2, 450}));
    }
};

QTEST_MAIN(ResultTest)
#include "result_test.moc"
