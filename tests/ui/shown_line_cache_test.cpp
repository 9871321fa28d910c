// The cache of laid-out lines at its bounds: the least recent line goes first,
// a line looked up again counts as recent, and the last line added stays even
// when it alone passes the bound on text.
#include "ui/listing_box/shown_line_cache.h"

#include <QtTest>

using namespace ui;

namespace {

std::unique_ptr<ShownLine> LineOf(int units) {
    auto shown = std::make_unique<ShownLine>();
    shown->text = QString(units, QLatin1Char('x'));
    return shown;
}

}  // namespace

class ShownLineCacheTest : public QObject {
    Q_OBJECT

private slots:
    void boundedInLinesTheLeastRecentGoingFirst() {
        ShownLineCache cache(3, 1000);
        for (std::size_t line = 0; line < 3; ++line) cache.Add(line, LineOf(1));
        QVERIFY(cache.Find(0));  // now the most recent: line 1 is the least
        cache.Add(3, LineOf(1));
        QCOMPARE(cache.Lines(), std::size_t(3));
        QVERIFY(!cache.Find(1));
        QVERIFY(cache.Find(0) && cache.Find(2) && cache.Find(3));
        QCOMPARE(cache.Units(), std::size_t(3));
    }

    void boundedInTextButNeverBelowTheLineJustAdded() {
        ShownLineCache cache(100, 10);
        cache.Add(0, LineOf(4));
        cache.Add(1, LineOf(6));  // exactly at the bound: both stay
        QCOMPARE(cache.Lines(), std::size_t(2));
        QCOMPARE(cache.Units(), std::size_t(10));
        cache.Add(2, LineOf(1));  // one over: the oldest goes
        QVERIFY(!cache.Find(0));
        QCOMPARE(cache.Units(), std::size_t(7));

        // A line longer than the whole bound pushes every other out but stays.
        const auto huge = cache.Add(3, LineOf(50));
        QCOMPARE(cache.Lines(), std::size_t(1));
        QCOMPARE(cache.Find(3), huge);
        QCOMPARE(cache.Units(), std::size_t(50));
        cache.Add(4, LineOf(0));  // then it goes as the least recent
        QVERIFY(!cache.Find(3));
        QCOMPARE(cache.Units(), std::size_t(0));

        // A line handed out outlives its eviction and the clearing.
        const auto kept = cache.Add(5, LineOf(3));
        cache.Clear();
        QCOMPARE(cache.Lines(), std::size_t(0));
        QCOMPARE(cache.Units(), std::size_t(0));
        QVERIFY(!cache.Find(5));
        QCOMPARE(kept->text.size(), 3);
    }
};

QTEST_MAIN(ShownLineCacheTest)
#include "shown_line_cache_test.moc"
