// The result window's listing box at real size: a million lines drawn to
// their end by every way of scrolling, and selections by mouse and keyboard
// read back from the listing's bytes.
#include "ui/listing_box/listing_view.h"
#include "ui/RESULT.h"
#include "ui/TEXTVIEW.h"
#include "ui/app/application.h"
#include "ui_fixture.h"
#include "window_data.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QScrollBar>
#include <QtTest>

using namespace ui;
using namespace testing_ui;

namespace {

// The line drawn in a pixel row that holds text (a few pixels other than the
// white background; the caret alone is one), from the top or the bottom.
int DrawnLine(ListingView* box, bool lowest) {
    const QImage image = box->viewport()->grab().toImage();
    const double scale = image.devicePixelRatio();
    for (int k = 0; k < image.height(); ++k) {
        const int y = lowest ? image.height() - 1 - k : k;
        int inked = 0;
        for (int x = 0; x < image.width(); ++x) inked += image.pixelColor(x, y) != QColor(Qt::white);
        if (inked >= 3) return static_cast<int>(box->PositionAt(QPoint(2, static_cast<int>(y / scale))).line);
    }
    return -1;
}
int FirstDrawnLine(ListingView* box) { return DrawnLine(box, false); }
int LastDrawnLine(ListingView* box) { return DrawnLine(box, true); }

// A point of the viewport on line (which must be on screen), x pixels in.
QPoint PointOnLine(ListingView* box, std::size_t line, int x) {
    for (int y = 0; y < box->viewport()->height(); ++y) {
        if (box->PositionAt(QPoint(x, y)).line == line) return QPoint(x, y + 3);
    }
    return {};
}

}  // namespace

class ListingViewTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Application::Init(QStringLiteral("/opt/norvane/bin/Norvane")); }

    void aMillionLinesAreDrawnToTheirEndByEveryWayOfScrolling() {
        UiFixture f;
        ResultForm->show();
        std::string listing = Sj("検索字句：　港町\r\n\r\n");
        for (int i = 1; i <= 1000000; ++i) listing += Sj("港町の灯 ") + std::to_string(i) + "\r\n";
        ResultForm->SetListing(listing);
        ListingView* box = ResultForm->Memo1;
        const int last = static_cast<int>(box->Listing().Count()) - 2;  // then the empty line after the last line end
        QCOMPARE(last, 1000001);
        QCOMPARE(FirstDrawnLine(box), 0);

        box->setFocus();
        QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(LastDrawnLine(box), last);
        QCOMPARE(box->Caret(), (ListingView::Position{box->Listing().Count() - 1, 0}));

        QTest::keyClick(box, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(FirstDrawnLine(box), 0);
        const int bottom = LastDrawnLine(box);
        QVERIFY(bottom > 10);
        // A page down goes on where the page ended, leaving nothing out.
        QTest::keyClick(box, Qt::Key_PageDown);
        const int top = FirstDrawnLine(box);
        QVERIFY2(top > 0 && top <= bottom + 1, qPrintable(QStringLiteral("%1 after %2").arg(top).arg(bottom)));

        QScrollBar* bar = box->verticalScrollBar();
        bar->setValue(bar->maximum());
        QCOMPARE(LastDrawnLine(box), last);
        bar->setValue(500000);  // the bar counts lines
        QCOMPARE(FirstDrawnLine(box), 500000);
        QVERIFY(f.boxes.empty());
    }

    void selectionsByMouseAndKeyboardAreReadBackFromTheBytes() {
        UiFixture f;
        ResultForm->show();
        const std::string header = "/tmp/x/umi.txt *02" + std::string(49, '*');
        const std::string wrapped = Sj("00007: ") + std::string(300, 'w') + Sj("港町");
        const std::string listing = Sj("検索字句：　港町\r\n\r\n") + header + "\r\n" + wrapped + "\r\n\r\n";
        ResultForm->SetListing(listing);
        ListingView* box = ResultForm->Memo1;
        QWidget* viewport = box->viewport();

        // A drag from the start of the header line into the wrapped line.
        const QPoint from = PointOnLine(box, 2, 1), to = PointOnLine(box, 3, 40);
        QTest::mousePress(viewport, Qt::LeftButton, {}, from);
        QTest::mouseMove(viewport, to);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
        const std::size_t start = box->Listing().Start(2);
        const std::string_view selected = box->SelectedBytes();
        QVERIFY(selected.size() > header.size() + 2);
        QCOMPARE(selected, std::string_view(listing).substr(start, selected.size()));

        // A triple-click takes the whole line with its line end; the viewer
        // opens on it.
        const QPoint on = PointOnLine(box, 2, 30);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, on);
        QTest::mouseClick(viewport, Qt::LeftButton, {}, on);
        QCOMPARE(box->SelectedBytes(), header + "\r\n");
        QString title;
        QVERIFY(OpensViewer([] { Choose(ResultForm->N5); }, [&] { title = TextViewForm->windowTitle(); }));
        QCOMPARE(ResultForm->CurrentFile, std::string("/tmp/x/umi.txt"));
        QCOMPARE(ResultForm->CurrentIndex, 2);

        // Shift with the arrows, then Ctrl+A and Ctrl+C.
        box->SetSelection({3, 0}, {3, 0});
        QTest::keyClick(box, Qt::Key_Down, Qt::ShiftModifier);  // the wrapped line's second display line
        QVERIFY(box->Caret().line == 3 && box->Caret().unit > 0);
        QTest::keyClick(box, Qt::Key_End, Qt::ShiftModifier);
        QTest::keyClick(box, Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(box->SelectedBytes(), wrapped.substr(0, box->SelectedBytes().size()));
        QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(box->SelectedBytes(), listing);
        QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), box->ToPlainText());
        QVERIFY(f.ExpectBoxes({FileAccessBox()}));  // the viewer found no such file
    }
};

QTEST_MAIN(ListingViewTest)
#include "listing_view_test.moc"
