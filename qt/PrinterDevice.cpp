// The print job's device over a paged Qt paint device.
#include "qt/PrinterDevice.h"

#include "qt/QtText.h"

#include <QFile>
#include <QFont>
#include <QPagedPaintDevice>
#include <QPrinter>

namespace kp {

PrinterDevice::PrinterDevice(QPagedPaintDevice& device, QString outputFile)
    : m_device(device), m_outputFile(std::move(outputFile)) {}

bool PrinterDevice::beginDocument(const std::string& fontName, int pointSize) {
    if (!m_painter.begin(&m_device))
        return false;
    QFont font(FromUtf8(fontName));
    if (pointSize > 0)
        font.setPointSize(pointSize);
    m_painter.setPen(Qt::black);
    m_canvas.emplace(m_painter, font, Qt::white);
    return true;
}

void PrinterDevice::newPage() {
    m_device.newPage();
}

void PrinterDevice::endDocument() {
    m_canvas.reset();
    if (m_painter.isActive())
        m_painter.end();
}

void PrinterDevice::abortDocument() {
    // A printer drops the spooled job; a PDF file has no way back, so it goes. The print dialog
    // may have turned the printer into a PDF file since this device was made.
    QString file = m_outputFile;
    if (auto* printer = dynamic_cast<QPrinter*>(&m_device)) {
        if (file.isEmpty() && printer->outputFormat() == QPrinter::PdfFormat)
            file = printer->outputFileName();
        printer->abort();
    }
    endDocument();
    if (!file.isEmpty())
        QFile::remove(file);
}

int PrinterDevice::pageWidth() const {
    return m_device.width();
}

int PrinterDevice::pageHeight() const {
    return m_device.height();
}

int PrinterDevice::dpiY() const {
    return m_device.logicalDpiY();
}

Canvas& PrinterDevice::canvas() {
    return *m_canvas;
}

} // namespace kp
