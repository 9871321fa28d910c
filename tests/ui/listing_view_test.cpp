// The result window's listing box at real size: a million lines drawn to
// their end by every way of scrolling, and selections by mouse and keyboard
// read back from the listing's bytes. A box of its own: the end of wrapping
// last lines reached by every way of scrolling at heights that fit a whole
// number of display lines, and the column that up and down keep.
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

#include <cmath>
#include <random>
#include <string>
#include <vector>

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

// A display line of a box: a line and which of the lines it wraps into.
struct DisplayLine {
    std::size_t line = 0;
    int sub = 0;
    qreal height = 0;
    bool operator==(const DisplayLine& o) const { return line == o.line && sub == o.sub; }
};

// Every display line of the box as it lays its lines out now.
std::vector<DisplayLine> DisplayLinesOf(const ListingView& box) {
    std::vector<DisplayLine> lines;
    for (std::size_t i = 0; i < box.Listing().Count(); ++i) {
        const auto shown = box.LayOutLine(i);
        if (shown->layout.lineCount() == 0) lines.push_back({i, 0, shown->height});
        for (int k = 0; k < shown->layout.lineCount(); ++k) lines.push_back({i, k, shown->layout.lineAt(k).height()});
    }
    return lines;
}

// The display line drawn at a height of the viewport, found as a click there.
DisplayLine DisplayLineAt(const ListingView& box, int y) {
    const ListingView::Position p = box.PositionAt(QPoint(0, y));
    const auto shown = box.LayOutLine(p.line);
    int sub = 0;
    while (sub + 1 < shown->layout.lineCount() && p.unit >= shown->layout.lineAt(sub + 1).textStart()) ++sub;
    return {p.line, sub, 0};
}

QString Describe(const DisplayLine& d) { return QStringLiteral("line %1, display line %2").arg(d.line).arg(d.sub); }

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

    // Listings whose last lines wrap, into fewer display lines than the box
    // holds and into more, with and without a final line end, in boxes that
    // hold a whole number of display lines exactly, half a line more, and a
    // pixel less. Every way to the end shows the last display line at the
    // bottom and, at the top, the first display line from which the rest fit.
    void theEndOfWrappingLastLinesIsReachedByEveryWayOfScrolling() {
        ListingView box;
        box.resize(300, 200);
        box.show();
        const std::string shortLines = [] {
            std::string lines;
            for (int i = 0; i < 120; ++i) lines += "line " + std::to_string(i) + "\r\n";
            return lines;
        }();
        const auto words = [](int count) {
            std::string line;
            for (int i = 0; i < count; ++i) line += "wrap" + std::to_string(i % 10) + " ";
            return line;
        };
        const std::vector<std::string> listings = {
            shortLines + words(15),
            shortLines + words(15) + "\r\n",
            shortLines + words(300),
            shortLines + words(300) + "\r\n",
            shortLines + words(40) + "\r\n" + words(12) + "\r\n" + words(25),
            // Too many lines for the scroll bar to count display lines.
            [&] {
                std::string many;
                while (many.size() < 50 * shortLines.size()) many += shortLines;
                return many + words(300);
            }(),
        };
        const int frame = box.height() - box.viewport()->height();
        for (const std::string& listing : listings) {
            box.SetListing(core::ListingLines(listing));
            const qreal h = DisplayLinesOf(box).front().height;
            QVERIFY(h > 0);
            for (const int lines : {4, 7, 10}) {
                for (const qreal extra : {0.0, h / 2, -1.0}) {
                    // The text's height: the viewport's less its margins of 4.
                    const int textHeight = static_cast<int>(std::ceil(lines * h + extra));
                    box.resize(box.width(), textHeight + 8 + frame);
                    QCOMPARE(box.viewport()->height(), textHeight + 8);
                    const std::vector<DisplayLine> all = DisplayLinesOf(box);
                    QVERIFY(all.back().sub > 0 || listing.ends_with("\r\n"));
                    // The first display line from which the rest fit in room.
                    const auto topFitting = [&](qreal room) {
                        std::size_t top = all.size() - 1;
                        for (qreal height = all[top].height; top > 0 && height + all[top - 1].height <= room;) {
                            height += all[--top].height;
                        }
                        return top;
                    };
                    // As a plain text box ends: scrolled, the display lines that fit
                    // in the text's height less a pixel; with the caret brought to
                    // the end, those that fit in the whole viewport, as the text
                    // scrolled from the start has no margin above it.
                    const std::size_t scrolledTop = topFitting(textHeight - 1);
                    const std::size_t caretTop = topFitting(box.viewport()->height());
                    std::size_t top = scrolledTop;
                    // What is wrong with the top and the bottom drawn; nothing when they are right.
                    const auto wrongEnd = [&](const char* how) {
                        const DisplayLine drawnTop = DisplayLineAt(box, 4 + 1);
                        const DisplayLine drawnBottom = DisplayLineAt(box, 4 + textHeight - 1);
                        if (drawnTop == all[top] && drawnBottom == all.back()) return QString();
                        return QStringLiteral(
                                   "%1 (listing %2, %3 pixels for %4 lines of %5): top %6, wanted %7; "
                                   "bottom %8, wanted %9")
                            .arg(QString::fromUtf8(how))
                            .arg(&listing - listings.data())
                            .arg(textHeight)
                            .arg(lines)
                            .arg(h)
                            .arg(Describe(drawnTop), Describe(all[top]), Describe(drawnBottom), Describe(all.back()));
                    };
                    QScrollBar* bar = box.verticalScrollBar();
                    const auto fromTheTop = [&] {
                        QTest::keyClick(&box, Qt::Key_Home, Qt::ControlModifier);
                        return box.TopLine() == 0 && bar->value() == 0;
                    };
                    QVERIFY(fromTheTop());
                    bar->setValue(bar->maximum());
                    QString wrong = wrongEnd("the bar set to its end");
                    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
                    QVERIFY(fromTheTop());
                    bar->triggerAction(QAbstractSlider::SliderToMaximum);
                    wrong = wrongEnd("the bar's own way to its end");
                    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
                    QVERIFY(fromTheTop());
                    for (std::size_t notch = 0; notch < all.size() / 3 + 1; ++notch) {
                        QWheelEvent wheel(QPointF(10, 10), box.mapToGlobal(QPointF(10, 10)), {}, {0, -120},
                                          Qt::NoButton, {}, Qt::NoScrollPhase, false);
                        QApplication::sendEvent(box.viewport(), &wheel);
                    }
                    wrong = wrongEnd("the wheel");
                    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
                    QVERIFY(fromTheTop());
                    QTest::keyClick(&box, Qt::Key_End, Qt::ControlModifier);
                    top = caretTop;
                    wrong = wrongEnd("Ctrl+End");
                    top = scrolledTop;
                    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
                    QVERIFY(fromTheTop());
                    // Pages end with the caret's row kept: anywhere from the one
                    // top to the other.
                    for (std::size_t page = 0; page < all.size() / 2; ++page) QTest::keyClick(&box, Qt::Key_PageDown);
                    for (top = caretTop; top < scrolledTop && !wrongEnd("Page Down").isEmpty();) ++top;
                    wrong = wrongEnd("Page Down");
                    top = scrolledTop;
                    QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
                }
            }
        }
    }

    // Up and down keep the column of the last move sideways, across lines
    // shorter than it, as a plain text box does: random keys over lines that
    // are each the start of one text, so that a column is one x on every line.
    void upAndDownKeepTheColumnOfTheLastMoveSideways() {
        ListingView box;
        box.resize(600, 400);
        box.show();
        const std::string text = "0123456789abcdefghijklmnopqrstuvwxyz";
        std::mt19937 rng(28);
        std::vector<int> lengths;
        std::string listing;
        for (int i = 0; i < 40; ++i) {
            lengths.push_back(static_cast<int>(rng() % (text.size() + 1)));
            if (i > 0) listing += "\r\n";
            listing += text.substr(0, lengths.back());
        }
        box.SetListing(core::ListingLines(listing));
        const std::size_t count = lengths.size();
        std::size_t line = 0;
        int unit = 0, column = -1;  // the column up and down keep to; -1 none yet
        const Qt::Key keys[] = {Qt::Key_Down, Qt::Key_Up, Qt::Key_Right, Qt::Key_Left, Qt::Key_Home, Qt::Key_End};
        QString trail;
        for (int step = 0; step < 3000; ++step) {
            const Qt::Key key = keys[rng() % std::size(keys)];
            QTest::keyClick(&box, key);
            const int length = lengths[line];
            switch (key) {
            case Qt::Key_Down:
            case Qt::Key_Up:
                if (column < 0) column = unit;
                if (key == Qt::Key_Down && line + 1 < count) ++line;
                if (key == Qt::Key_Up && line > 0) --line;
                unit = std::min(column, lengths[line]);
                break;
            case Qt::Key_Right:
                column = -1;
                if (unit < length) {
                    ++unit;
                } else if (line + 1 < count) {
                    ++line;
                    unit = 0;
                }
                break;
            case Qt::Key_Left:
                column = -1;
                if (unit > 0) {
                    --unit;
                } else if (line > 0) {
                    --line;
                    unit = lengths[line];
                }
                break;
            case Qt::Key_Home:
                column = -1;
                unit = 0;
                break;
            default:
                column = -1;
                unit = length;
                break;
            }
            trail += QKeySequence(key).toString() + QLatin1Char(' ');
            QVERIFY2(box.Caret() == (ListingView::Position{line, unit}),
                     qPrintable(QStringLiteral("at (%1, %2), wanted (%3, %4) after %5")
                                    .arg(box.Caret().line)
                                    .arg(box.Caret().unit)
                                    .arg(line)
                                    .arg(unit)
                                    .arg(trail.right(60))));
        }
    }
};

QTEST_MAIN(ListingViewTest)
#include "listing_view_test.moc"
