// The tree and line models: shape, parents, texts and the frozen state.
#include "qt/BookTreeModel.h"

#include "book/BookTree.h"
#include "qt/BookTreeView.h"
#include "qt/ReportLinesModel.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QMouseEvent>
#include <QTest>

namespace kp {

class BookTreeModelTest : public QObject {
    Q_OBJECT

  private slots:
    // The pointer passing over the next line on its way to a drag leaves the pressed line
    // current: that is the line the drop moves.
    void aDragKeepsThePressedLine() {
        BookTree tree;
        BookNode* top = tree.addLast(nullptr, "Vaihtuvat vastaavat");
        tree.addLast(nullptr, "Vaihto-omaisuus");
        BookTreeModel model(tree);
        BookTreeView view(DragSource::ChartView);
        view.setModel(&model);
        view.resize(300, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QRect first = view.visualRect(model.indexOf(top));
        const QPoint press(first.left() + 5, first.bottom() - 1);
        QTest::mousePress(view.viewport(), Qt::LeftButton, {}, press);
        const QPoint below(press.x(), first.bottom() + 4); // on the next line, short of a drag
        QVERIFY((below - press).manhattanLength() < QApplication::startDragDistance());
        QMouseEvent move(QEvent::MouseMove, below, view.viewport()->mapToGlobal(below),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.viewport(), &move);
        QCOMPARE(BookTreeModel::nodeAt(view.currentIndex()), top);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, {}, below);
    }

    void mirrorsTheTree() {
        BookTree tree;
        BookNode* a = tree.addLast(nullptr, "Tilit");
        tree.addLast(a, "1000 Kassa");
        BookNode* bank = tree.addLast(a, "1100 Pankki");
        tree.addLast(bank, "P\xE4\xE4tili");
        tree.addLast(nullptr, "Tapahtumat");
        BookTreeModel model(tree);
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);

        QCOMPARE(model.rowCount(), 2);
        const QModelIndex accounts = model.index(0, 0);
        QCOMPARE(model.rowCount(accounts), 2);
        const QModelIndex bankIndex = model.index(1, 0, accounts);
        QCOMPARE(model.data(bankIndex).toString(), QStringLiteral("1100 Pankki"));
        const QModelIndex leaf = model.index(0, 0, bankIndex);
        // Windows-1252 bytes reach the view as their own letters.
        QCOMPARE(model.data(leaf).toString(), QStringLiteral("Päätili"));
        QCOMPARE(model.parent(leaf), bankIndex);
        QCOMPARE(model.parent(bankIndex), accounts);
        QVERIFY(!model.parent(accounts).isValid());
        QCOMPARE(model.indexOf(bank), bankIndex);
        QVERIFY(!model.index(2, 0).isValid());
        QVERIFY(!model.index(0, 1).isValid());
    }

    void frozenModelTouchesNoNode() {
        BookTree tree;
        tree.addLast(tree.addLast(nullptr, "a"), "b");
        BookTreeModel model(tree);
        const QPersistentModelIndex kept = model.index(0, 0, model.index(0, 0));
        model.freeze();
        tree.clear(); // as a rebuild does
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!model.hasChildren());
        QVERIFY(!model.data(kept).isValid());
        tree.addLast(nullptr, "c");
        model.thaw();
        QVERIFY(!kept.isValid());
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("c"));
    }

    void linesModelShowsLinesAndBytes() {
        ReportLines lines{"\x02Tili\tSaldo", "Kes\xE4kuu"};
        ReportLinesModel model;
        model.setLines(&lines);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.data(model.index(1)).toString(), QStringLiteral("Kesäkuu"));
        QCOMPARE(model.data(model.index(0), ReportLinesModel::LineRole).toByteArray(),
                 QByteArray("\x02Tili\tSaldo"));
        model.freeze();
        lines.clear();
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!model.data(model.index(0)).isValid());
        model.thaw();
        QCOMPARE(model.rowCount(), 0);
        model.setLines(nullptr);
        QCOMPARE(model.rowCount(), 0);
    }
};

} // namespace kp

int RunBookTreeModelTests(int argc, char** argv) {
    kp::BookTreeModelTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "BookTreeModelTest.moc"
