// The print job's device over a paged Qt paint device: a printer or a PDF writer.
#pragma once

#include "output/PrintJob.h"
#include "qt/PainterCanvas.h"

#include <QPainter>
#include <QString>
#include <optional>

class QPagedPaintDevice;

namespace kp {

class PrinterDevice : public PrintDevice {
  public:
    // The device must outlive this; sizes are read from it in device pixels. A device that
    // writes a file names it, so that a dropped document leaves no file behind.
    explicit PrinterDevice(QPagedPaintDevice& device, QString outputFile = {});

    bool beginDocument(const std::string& fontName, int pointSize) override;
    void newPage() override;
    void endDocument() override;
    void abortDocument() override;
    int pageWidth() const override;
    int pageHeight() const override;
    int dpiY() const override;
    Canvas& canvas() override;

  private:
    QPagedPaintDevice& m_device;
    QString m_outputFile;
    QPainter m_painter;
    std::optional<PainterCanvas> m_canvas;
};

} // namespace kp
