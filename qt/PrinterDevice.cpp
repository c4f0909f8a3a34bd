// The print job's device over a paged Qt paint device.
#include "qt/PrinterDevice.h"

#include "qt/QtText.h"

#include <QFont>
#include <QPagedPaintDevice>

namespace kp {

PrinterDevice::PrinterDevice(QPagedPaintDevice& device) : m_device(device) {}

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
