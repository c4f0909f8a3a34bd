// The tab-stop editor strip driven with the mouse: column layout, border drags, the hover
// cursor, the double click that closes it and its painting.
#include "qt/TabStopBar.h"

#include "output/Settings.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <memory>

Q_DECLARE_METATYPE(kp::TabStops)

namespace kp {
namespace {

constexpr int kListWidth = 1000;
// Wide enough that the last column's border, at the list's width, can be grabbed and dragged.
constexpr int kBarWidth = 1040;
constexpr int kHeaderY = TabStopBar::kRowHeight + 8;

struct ShownBar {
    TabStops stops = kDefaultTabStops;
    std::unique_ptr<TabStopBar> bar = std::make_unique<TabStopBar>();
    std::unique_ptr<QSignalSpy> changed;
    std::unique_ptr<QSignalSpy> closed;

    explicit ShownBar(int page = 2, int listWidth = kListWidth) {
        bar->setPage(page, &stops, listWidth);
        bar->resize(kBarWidth, bar->sizeHint().height());
        bar->show();
        changed = std::make_unique<QSignalSpy>(bar.get(), &TabStopBar::stopsChanged);
        closed = std::make_unique<QSignalSpy>(bar.get(), &TabStopBar::closedByDoubleClick);
    }

    void drag(int fromX, int toX, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(bar.get(), button, {}, QPoint(fromX, kHeaderY));
        QTest::mouseMove(bar.get(), QPoint((fromX + toX) / 2, kHeaderY));
        QTest::mouseMove(bar.get(), QPoint(toX, kHeaderY));
        QTest::mouseRelease(bar.get(), button, {}, QPoint(toX, kHeaderY));
    }

    // A hover without a button held; the test library would move the real cursor instead.
    void hover(int x) {
        QMouseEvent move(QEvent::MouseMove, QPointF(x, kHeaderY), bar->mapToGlobal(QPointF(x, 0)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(bar.get(), &move);
    }
};

TabStops WithStop(int index, int value) {
    TabStops stops = kDefaultTabStops;
    stops[static_cast<size_t>(index)] = value;
    return stops;
}

bool HasInk(const QImage& image, const QRect& area, const QColor& background) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) != background)
                return true;
    return false;
}

} // namespace

class TabStopBarTest : public QObject {
    Q_OBJECT

  private slots:
    void columnsLieAtTheStops() {
        ShownBar shown;
        const std::array<int, kTabColumnCount> borders = {10, 250, 400, 550, 750, 870, 990, 1000};
        for (int i = 0; i < kTabColumnCount; ++i)
            QCOMPARE(shown.bar->columnRight(i), borders[static_cast<size_t>(i)]);
        QCOMPARE(shown.bar->columnWidths(), ApplyTabStops(kDefaultTabStops, kListWidth));
        QCOMPARE(shown.bar->sizeHint().height(), 2 * TabStopBar::kRowHeight + 1);

        // The ledger list's width scales both pages' columns.
        shown.bar->setPage(1, &shown.stops, 500);
        QCOMPARE(shown.bar->columnRight(1), 125);
        QCOMPARE(shown.bar->columnRight(7), 500);
    }

    void borderDrags_data() {
        QTest::addColumn<int>("fromX");
        QTest::addColumn<int>("toX");
        QTest::addColumn<TabStops>("expected");
        QTest::addColumn<int>("emitted");

        QTest::newRow("right border of column 2 moves stop 3 only")
            << 400 << 450 << WithStop(3, 450) << 1;
        QTest::newRow("grabbed 3 px off the border") << 403 << 453 << WithStop(3, 453) << 1;
        QTest::newRow("4 px off the border grabs nothing") << 404 << 454 << kDefaultTabStops << 0;
        QTest::newRow("between borders") << 300 << 350 << kDefaultTabStops << 0;
        QTest::newRow("first column shut") << 10 << 0 << WithStop(1, 0) << 1;
        QTest::newRow("dragged past the next stop is held there")
            << 870 << 1000 << WithStop(6, 990) << 1;
        QTest::newRow("last column wider snaps back") << 1000 << 1030 << kDefaultTabStops << 0;
        QTest::newRow("last column narrower snaps back") << 1000 << 900 << kDefaultTabStops << 0;
        QTest::newRow("pressed and let go in place") << 750 << 750 << kDefaultTabStops << 0;
    }

    void borderDrags() {
        QFETCH(int, fromX);
        QFETCH(int, toX);
        QFETCH(TabStops, expected);
        QFETCH(int, emitted);
        ShownBar shown;
        shown.drag(fromX, toX);
        QCOMPARE(shown.stops, expected);
        QCOMPARE(shown.changed->count(), emitted);
        // After the drag the columns are laid out from the stops again.
        QCOMPARE(shown.bar->columnWidths(), ApplyTabStops(expected, kListWidth));
    }

    void dragShowsTheBorderAtTheMouseUntilLetGo() {
        ShownBar shown;
        QTest::mousePress(shown.bar.get(), Qt::LeftButton, {}, QPoint(400, kHeaderY));
        QTest::mouseMove(shown.bar.get(), QPoint(330, kHeaderY));
        // Column 2 shrinks and the later columns keep their widths, moving left with it.
        const TabColumnWidths widths = shown.bar->columnWidths();
        QCOMPARE(widths[2], 80);
        QCOMPARE(widths[3], 150);
        QCOMPARE(shown.bar->columnRight(7), 930);
        QCOMPARE(shown.stops, kDefaultTabStops);
        QCOMPARE(shown.changed->count(), 0);
        // Dragged past the column's left border it is only emptied.
        QTest::mouseMove(shown.bar.get(), QPoint(200, kHeaderY));
        QCOMPARE(shown.bar->columnWidths()[2], 0);
        QTest::mouseRelease(shown.bar.get(), Qt::LeftButton, {}, QPoint(200, kHeaderY));
        QCOMPARE(shown.stops, WithStop(3, 250));
        QCOMPARE(shown.changed->count(), 1);
    }

    void onlyTheLeftButtonDrags() {
        ShownBar shown;
        shown.drag(400, 450, Qt::RightButton);
        QCOMPARE(shown.stops, kDefaultTabStops);
        QCOMPARE(shown.changed->count(), 0);
    }

    void otherPagesAreInert() {
        ShownBar shown(3);
        QCOMPARE(shown.bar->columnWidths(), TabColumnWidths{});
        shown.drag(400, 450);
        shown.bar->setPage(2, nullptr, kListWidth);
        shown.drag(400, 450);
        QCOMPARE(shown.stops, kDefaultTabStops);
        QCOMPARE(shown.changed->count(), 0);
        QVERIFY(!shown.bar->grab().isNull());
    }

    void hoverOverABorderShowsTheSplitCursor() {
        ShownBar shown;
        shown.hover(252);
        QCOMPARE(shown.bar->cursor().shape(), Qt::SplitHCursor);
        shown.hover(300);
        QCOMPARE(shown.bar->cursor().shape(), Qt::ArrowCursor);
    }

    void doubleClickClosesTheBar() {
        ShownBar shown;
        QVERIFY(shown.bar->isVisible());
        // On a border, so that the clicks also start and end a drag that moves nothing.
        QTest::mouseDClick(shown.bar.get(), Qt::LeftButton, {}, QPoint(400, kHeaderY));
        QVERIFY(!shown.bar->isVisible());
        QCOMPARE(shown.closed->count(), 1);
        QCOMPARE(shown.stops, kDefaultTabStops);
        QCOMPARE(shown.changed->count(), 0);
    }

    void paintsTheFixedRowAndThePagesHeader() {
        ShownBar shown(1);
        const QColor grey = shown.bar->palette().color(QPalette::Button);
        const QColor base = shown.bar->palette().color(QPalette::Base);
        const QImage journal = shown.bar->grab().toImage();
        QCOMPARE(journal.height(), 2 * TabStopBar::kRowHeight + 1);
        // Row 0 is a plain grey row between the grid lines.
        QVERIFY(!HasInk(journal, QRect(20, 2, 200, 10), grey));
        // "Tosite" starts at stop 1, inside column 1.
        const QRect firstField(11, TabStopBar::kRowHeight, 200, TabStopBar::kRowHeight - 1);
        QVERIFY(HasInk(journal, firstField, base));

        shown.bar->setPage(2, &shown.stops, kListWidth);
        const QImage ledger = shown.bar->grab().toImage();
        const QRect headerRow(0, TabStopBar::kRowHeight, kBarWidth, TabStopBar::kRowHeight);
        QVERIFY(journal.copy(headerRow) != ledger.copy(headerRow));

        // A list wider than the bar is cut off at its edge.
        shown.bar->setPage(2, &shown.stops, 3 * kBarWidth);
        QCOMPARE(shown.bar->grab().toImage().width(), kBarWidth);
    }
};

} // namespace kp

int RunTabStopBarTests(int argc, char** argv) {
    kp::TabStopBarTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "TabStopBarTest.moc"
