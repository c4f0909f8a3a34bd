// The small adapters: file-dialog filters, the painter canvas and text conversion.
#include "qt/PainterCanvas.h"
#include "qt/PrinterDevice.h"
#include "qt/ProgressBox.h"
#include "qt/QtPlatform.h"
#include "qt/QtText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace kp {

class AdapterTest : public QObject {
    Q_OBJECT

  private slots:
    // Long work: the box appears only when the work lasts, "Peruuta" stops it, a failure on the
    // work's thread reaches the caller, and a dropped PDF leaves no file.
    void longWorkShowsABoxThatCancels() {
        auto pressCancelSoon = [] {
            QTimer::singleShot(700, [] {
                for (QWidget* w : QApplication::topLevelWidgets())
                    if (auto* box = qobject_cast<QProgressDialog*>(w); box && box->isVisible())
                        box->cancel();
            });
        };
        QElapsedTimer clock;
        clock.start();
        QVERIFY(RunOffThread(nullptr, QStringLiteral("lyhyt"), [] {}));
        QVERIFY_THROWS_EXCEPTION(
            std::runtime_error,
            RunOffThread(nullptr, QStringLiteral("virhe"), [] { throw std::runtime_error("x"); }));
        pressCancelSoon();
        QVERIFY(!RunOffThread(nullptr, QStringLiteral("pitk\u00e4"),
                              [] { std::this_thread::sleep_for(std::chrono::seconds(5)); }));
        pressCancelSoon();
        ProgressBox box(nullptr, QStringLiteral("Tulostetaan"));
        size_t steps = 0;
        while (box.step(steps, 100000) && steps < 100000) {
            ++steps;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        QVERIFY(steps < 100000);
        QVERIFY(clock.elapsed() < 15000);

        QTemporaryDir dir;
        const QString file = dir.filePath("keskeytetty.pdf");
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        PrinterDevice device(printer);
        QVERIFY(device.beginDocument("Arial", 10));
        device.canvas().drawText(10, 10, "rivi");
        device.newPage();
        device.abortDocument();
        QVERIFY(!QFile::exists(file));
    }

    void openFiltersPreselectTheBookFormats() {
        const FileChoice choice{{{"*.*", "*.*"}, {"*.tlk, *.csv", "*.tlk; *.csv"}}, 1, "", ""};
        QString selected;
        QCOMPARE(DialogFilters(choice, &selected),
                 QStringLiteral("*.* (*.*);;*.tlk, *.csv (*.tlk *.csv)"));
        QCOMPARE(selected, QStringLiteral("*.tlk, *.csv (*.tlk *.csv)"));
    }

    void filterIndexOutsideTheListSelectsNothing() {
        const FileChoice choice{{{"*.tlk", "*.tlk"}}, 3, "csv", ""};
        QString selected = QStringLiteral("unchanged");
        QCOMPARE(DialogFilters(choice, &selected), QStringLiteral("*.tlk (*.tlk)"));
        QCOMPARE(selected, QStringLiteral("unchanged"));
    }

    void bookTextsBecomeTheirLetters() {
        QCOMPARE(FromBook("P\xE4\xE4kirja \x80"), QStringLiteral("Pääkirja €"));
        QCOMPARE(ToUtf8(FromUtf8("Yll\xC3\xA4pito")), std::string("Yll\xC3\xA4pito"));
        // A TAB left inside a drawn piece shows as a blank.
        QCOMPARE(CanvasText("a\tb"), QStringLiteral("a b"));
    }

    void canvasMeasuresInTheStyleSet() {
        QImage image(200, 40, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(15);
        PainterCanvas canvas(painter, font, Qt::white);
        const int regular = canvas.textWidth("Tase 2026");
        QVERIFY(regular > 0);
        QVERIFY(canvas.textWidth("\xE4\xE4") > canvas.textWidth("\xE4"));
        canvas.setStyle(TextStyle::Bold);
        QVERIFY(canvas.textWidth("Tase 2026") > regular);
        canvas.setStyle(TextStyle::Regular);
        QCOMPARE(canvas.textWidth("Tase 2026"), regular);
        QVERIFY(canvas.textHeight() >= 15);
    }

    void clippedTextStaysInItsCell() {
        QImage image(100, 20, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            painter.setPen(Qt::black);
            QFont font(QStringLiteral("Liberation Mono"));
            font.setPixelSize(16);
            PainterCanvas canvas(painter, font, Qt::yellow);
            canvas.drawTextClipped(Rect{10, 0, 40, 20}, 10, 2, "WWWWWWWWWWWW");
        }
        // The cell is filled with the background; nothing is drawn right of it.
        QCOMPARE(image.pixelColor(11, 1), QColor(Qt::yellow));
        for (int x = 40; x < 100; ++x)
            for (int y = 0; y < 20; ++y)
                QCOMPARE(image.pixelColor(x, y), QColor(Qt::white));
        bool inked = false;
        for (int x = 10; x < 40 && !inked; ++x)
            for (int y = 0; y < 20 && !inked; ++y)
                inked = image.pixelColor(x, y) != QColor(Qt::yellow);
        QVERIFY(inked);
    }
};

} // namespace kp

int RunAdapterTests(int argc, char** argv) {
    kp::AdapterTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "AdapterTest.moc"
