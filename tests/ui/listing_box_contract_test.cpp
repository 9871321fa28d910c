// The listing box's contract: beside a QPlainTextEdit that holds the same
// text at the same size and font, wrapped the same way, the same keys and
// mouse leave the same top line, scroll bar, selection and clipboard.
//
// The plain box is given the text as the listing box shows it, so a very
// long line is cut with its mark and NUL shows as U+2400 in both: those are
// where the listing box differs on purpose, and the comparison runs around
// them.
#include "ui/app/application.h"
#include "ui/listing_box/listing_view.h"
#include "window_data.h"

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTextBlock>
#include <QWheelEvent>
#include <QtTest>

#include <functional>
#include <string>
#include <vector>

using namespace ui;
using namespace testing_ui;

namespace {

// Both boxes, side by side in one window.
struct Boxes {
    QWidget window;
    ListingView* view = new ListingView(&window);
    QPlainTextEdit* plain = new QPlainTextEdit(&window);

    explicit Boxes(const std::string& listing) {
        for (QAbstractScrollArea* box :
             {static_cast<QAbstractScrollArea*>(view), static_cast<QAbstractScrollArea*>(plain)}) {
            box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            box->resize(330, 190);
        }
        plain->move(340, 0);
        plain->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        plain->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        window.resize(680, 200);
        window.show();
        view->SetListing(core::ListingLines(listing));
        plain->setPlainText(view->ToPlainText());
        plain->moveCursor(QTextCursor::Start);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The plain box counts a line it has not laid out yet as one row
        // until it shows; the listing box lays a short listing out whole. The
        // plain box is compared once it has laid out every line.
        auto* layout = static_cast<QPlainTextDocumentLayout*>(plain->document()->documentLayout());
        for (QTextBlock block = plain->document()->begin(); block.isValid(); block = block.next()) {
            layout->ensureBlockLayout(block);
        }
    }
};

using Place = std::pair<int, int>;  // a line and a UTF-16 position in it

Place PlainPlace(const QPlainTextEdit* plain, int position) {
    const QTextBlock block = plain->document()->findBlock(position);
    return {block.blockNumber(), position - block.position()};
}

// What must be the same in both: the top line and the bar (its value is the
// top display line; its range and page step make the thumb), the selection.
QString ViewState(const ListingView* view) {
    const QScrollBar* bar = view->verticalScrollBar();
    return QStringLiteral("bar %1/%2 page %3; anchor %4:%5 caret %6:%7")
        .arg(bar->value())
        .arg(bar->maximum())
        .arg(bar->pageStep())
        .arg(view->Anchor().line)
        .arg(view->Anchor().unit)
        .arg(view->Caret().line)
        .arg(view->Caret().unit);
}
QString PlainState(const QPlainTextEdit* plain) {
    const QScrollBar* bar = plain->verticalScrollBar();
    const Place anchor = PlainPlace(plain, plain->textCursor().anchor());
    const Place caret = PlainPlace(plain, plain->textCursor().position());
    return QStringLiteral("bar %1/%2 page %3; anchor %4:%5 caret %6:%7")
        .arg(bar->value())
        .arg(bar->maximum())
        .arg(bar->pageStep())
        .arg(anchor.first)
        .arg(anchor.second)
        .arg(caret.first)
        .arg(caret.second);
}

// A point of the viewport on a place of the text, found in the plain box
// (both draw each line at the same place when their tops agree).
QPoint PointAt(QPlainTextEdit* plain, Place place) {
    QTextCursor cursor(plain->document()->findBlockByNumber(place.first));
    cursor.setPosition(cursor.position() + place.second);
    return plain->cursorRect(cursor).center() + QPoint(2, 0);
}

// The bar as its style draws it, to ask where its parts lie.
QStyleOptionSlider SliderOption(QScrollBar* bar) {
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = Qt::Vertical;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.pageStep = bar->pageStep();
    option.singleStep = bar->singleStep();
    option.subControls = QStyle::SC_All;
    return option;
}

QPoint GroovePoint(QScrollBar* bar, bool below) {
    const QStyleOptionSlider option = SliderOption(bar);
    const QRect thumb = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
    const QRect groove = bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarGroove, bar);
    return below ? QPoint(thumb.center().x(), (thumb.bottom() + groove.bottom()) / 2)
                 : QPoint(thumb.center().x(), (thumb.top() + groove.top()) / 2);
}

QPoint ThumbCentre(QScrollBar* bar) {
    const QStyleOptionSlider option = SliderOption(bar);
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar).center();
}

void Wheel(QWidget* viewport, int notches) {
    const QPoint at(20, 20);
    QWheelEvent event(at, viewport->mapToGlobal(at), {}, QPoint(0, notches * QWheelEvent::DefaultDeltasPerStep),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &event);
}

// One step of a sequence, done to one box (its scroll area, viewport and bar).
using Step = std::function<void(QAbstractScrollArea* box, QPlainTextEdit* plain)>;

Step Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
    return [=](QAbstractScrollArea* box, QPlainTextEdit*) { QTest::keyClick(box, key, modifiers); };
}
Step Groove(bool below) {
    return [=](QAbstractScrollArea* box, QPlainTextEdit*) {
        QScrollBar* bar = box->verticalScrollBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, GroovePoint(bar, below));
    };
}
Step DragThumb(int dy) {
    return [=](QAbstractScrollArea* box, QPlainTextEdit*) {
        QScrollBar* bar = box->verticalScrollBar();
        const QPoint from = ThumbCentre(bar);
        QTest::mousePress(bar, Qt::LeftButton, {}, from);
        QTest::mouseMove(bar, from + QPoint(0, dy / 2));
        QTest::mouseMove(bar, from + QPoint(0, dy));
        QTest::mouseRelease(bar, Qt::LeftButton, {}, from + QPoint(0, dy));
    };
}
Step WheelBy(int notches) {
    return [=](QAbstractScrollArea* box, QPlainTextEdit*) { Wheel(box->viewport(), notches); };
}
// The places are found in the plain box at the time of the step.
Step DoubleClick(Place place) {
    return [=](QAbstractScrollArea* box, QPlainTextEdit* plain) {
        QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, PointAt(plain, place));
    };
}
Step TripleClick(Place place) {
    return [=](QAbstractScrollArea* box, QPlainTextEdit* plain) {
        const QPoint at = PointAt(plain, place);
        QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, at);
    };
}
Step Drag(Place from, Place to, bool byWords = false) {
    return [=](QAbstractScrollArea* box, QPlainTextEdit* plain) {
        const QPoint a = PointAt(plain, from), b = PointAt(plain, to);
        QTest::mousePress(box->viewport(), Qt::LeftButton, {}, a);
        if (byWords) {
            // The second press of a double-click, held.
            QTest::mouseRelease(box->viewport(), Qt::LeftButton, {}, a);
            QTest::mousePress(box->viewport(), Qt::LeftButton, {}, a);
            QMouseEvent twice(QEvent::MouseButtonDblClick, a, box->viewport()->mapToGlobal(a), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(box->viewport(), &twice);
        }
        QTest::mouseMove(box->viewport(), (a + b) / 2);
        QTest::mouseMove(box->viewport(), b);
        QTest::mouseRelease(box->viewport(), Qt::LeftButton, {}, b);
    };
}

}  // namespace

class ListingBoxContractTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { Application::Init(QStringLiteral("/opt/norvane/bin/Norvane")); }

    void keysAndMouseLeaveWhatAPlainTextBoxLeaves() {
        // Lines that wrap onto two and three rows, Japanese and ASCII words,
        // empty lines, NUL, and a line longer than the box shows.
        std::string listing = Sj("検索字句：　見当\r\n\r\n");
        for (int i = 1; i <= 40; ++i) {
            const std::string number = QStringLiteral("%1").arg(i, 5, 10, QLatin1Char('0')).toStdString();
            if (i % 7 == 0) {
                listing += "\r\n";
            } else if (i % 5 == 0) {
                listing += number + Sj(": 二行目の見当がつかぬ ほどに長い行が、折り返されて三行になるまで続くカタカナ "
                                       "word.two 三つ目の行");
            } else if (i % 3 == 0) {
                listing += number + ": the quick brown fox jumps over the lazy dog and on, and on" +
                           std::string(1, '\0') + "x";
            } else {
                listing += number + Sj(": 二行目の見当がつかぬ");
            }
            listing += "\r\n";
        }
        listing += "00041: " + std::string(9000, 'w') + " tail\r\n" + Sj("00042: 終わり");

        const std::vector<std::pair<const char*, std::vector<Step>>> sequences = {
            {"groove clicks below and above the thumb",
             {Groove(true), Groove(true), Groove(true), Groove(false), Groove(true), Groove(false), Groove(false)}},
            {"thumb drags", {DragThumb(30), DragThumb(45), DragThumb(-20), DragThumb(200), DragThumb(-300)}},
            {"the wheel", {WheelBy(-1), WheelBy(-2), WheelBy(1), WheelBy(-10), WheelBy(30)}},
            {"page keys",
             {Key(Qt::Key_PageDown), Key(Qt::Key_PageDown), Key(Qt::Key_PageDown), Key(Qt::Key_PageUp),
              Key(Qt::Key_PageDown, Qt::ShiftModifier), Key(Qt::Key_PageUp), Key(Qt::Key_PageUp), Key(Qt::Key_PageUp)}},
            {"the ends of the text",
             {Key(Qt::Key_End, Qt::ControlModifier), Key(Qt::Key_Home, Qt::ControlModifier),
              Key(Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier)}},
            {"arrows with and without Shift",
             {Key(Qt::Key_Down), Key(Qt::Key_Down), Key(Qt::Key_Right), Key(Qt::Key_Right), Key(Qt::Key_Down),
              Key(Qt::Key_Down, Qt::ShiftModifier), Key(Qt::Key_Down, Qt::ShiftModifier),
              Key(Qt::Key_Up, Qt::ShiftModifier), Key(Qt::Key_Left, Qt::ShiftModifier),
              Key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier), Key(Qt::Key_End, Qt::ShiftModifier),
              Key(Qt::Key_Down), Key(Qt::Key_Home), Key(Qt::Key_Up)}},
            {"double-clicks on Japanese and ASCII",
             {DoubleClick({2, 13}), DoubleClick({3, 8}), DoubleClick({0, 7}), DoubleClick({4, 9}), DoubleClick({6, 44}),
              DoubleClick({6, 60}), DoubleClick({2, 5})}},
            {"triple-clicks", {TripleClick({2, 10}), TripleClick({1, 0}), TripleClick({6, 12})}},
            {"click and drag",
             {Drag({2, 9}, {4, 3}), Drag({6, 30}, {6, 3}), Drag({3, 11}, {5, 12}, true), Drag({6, 60}, {6, 20}, true)}},
            {"all", {Key(Qt::Key_A, Qt::ControlModifier)}},
        };

        Boxes boxes(listing);
        QCOMPARE(boxes.view->viewport()->size(), boxes.plain->viewport()->size());
        for (const auto& [name, steps] : sequences) {
            // Each sequence starts from the top, with the caret at the start.
            QTest::keyClick(boxes.view, Qt::Key_Home, Qt::ControlModifier);
            QTest::keyClick(boxes.plain, Qt::Key_Home, Qt::ControlModifier);
            for (std::size_t k = 0; k < steps.size(); ++k) {
                steps[k](boxes.view, boxes.plain);
                steps[k](boxes.plain, boxes.plain);
                QTest::qWait(QApplication::doubleClickInterval() + 10);  // no click joins the next step's
                const QString where = QStringLiteral("%1, step %2").arg(QLatin1String(name)).arg(k + 1);
                QVERIFY2(ViewState(boxes.view) == PlainState(boxes.plain),
                         qPrintable(where + QStringLiteral(": ") + ViewState(boxes.view) + QStringLiteral(" vs ") +
                                    PlainState(boxes.plain)));
                QGuiApplication::clipboard()->clear();
                QTest::keyClick(boxes.view, Qt::Key_C, Qt::ControlModifier);
                const QString copied = QGuiApplication::clipboard()->text();
                QGuiApplication::clipboard()->clear();
                QTest::keyClick(boxes.plain, Qt::Key_C, Qt::ControlModifier);
                QVERIFY2(copied == QGuiApplication::clipboard()->text(),
                         qPrintable(where + QStringLiteral(": copied ") + copied.toHtmlEscaped() +
                                    QStringLiteral(" vs ") + QGuiApplication::clipboard()->text()));
            }
        }
    }

    // Scrolled into a wrapped line, the box shows nothing of the row above
    // the top: not in the margin, not a pixel of it (the plain box shows a
    // pixel row of it, rounding; here the box differs on purpose).
    void theRowAboveTheTopNeverShows() {
        std::string listing;
        for (int i = 0; i < 60; ++i) listing += "gjpqy ";
        listing += "end\r\n";
        for (int i = 1; i <= 30; ++i) listing += Sj("港町の灯\r\n");
        Boxes boxes(listing);
        boxes.view->clearFocus();  // no caret
        const auto line = boxes.view->LayOutLine(0);
        const int last = line->layout.lineCount() - 1;
        QVERIFY(last >= 2);
        // The last row is short: right of its text, the first pixel rows
        // are where the row above would show through.
        const int free = static_cast<int>(line->layout.lineAt(last).naturalTextWidth()) + 12;
        boxes.view->verticalScrollBar()->setValue(last);
        const QImage drawn = boxes.view->viewport()->grab().toImage();
        for (int y = 0; y < 4; ++y) {
            for (int x = free; x < drawn.width(); ++x) {
                QVERIFY2(drawn.pixelColor(x, y) == QColor(Qt::white),
                         qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
            }
        }
    }
};

QTEST_MAIN(ListingBoxContractTest)
#include "listing_box_contract_test.moc"
