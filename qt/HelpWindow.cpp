// The help page in a window of the program, so that "Ohje" works without a web browser.
#include "qt/HelpWindow.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace kp {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), m_browser(new QTextBrowser) {
    setWindowTitle(QStringLiteral("Kirjanpito \u2013 ohje"));
    setObjectName(QStringLiteral("HelpWindow"));
    // Links to other sites go to the system's browser; the page's own anchors stay here.
    m_browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(760, 640);
}

QString HelpWindow::helpFilePath() {
    const QFileInfo program(QCoreApplication::applicationFilePath());
    const QString besideProgram =
        program.absolutePath() + QLatin1Char('/') + program.completeBaseName() + ".html";
    const QString installed =
        program.absolutePath() + QStringLiteral("/../share/kirjanpito/kirjanpito.html");
    for (const QString& path : {besideProgram, installed})
        if (QFileInfo(path).isFile())
            return QFileInfo(path).canonicalFilePath();
    return {};
}

bool HelpWindow::open(const QString& fileName) {
    if (fileName.isEmpty() || !QFileInfo(fileName).isReadable())
        return false;
    m_browser->setSource(QUrl::fromLocalFile(fileName));
    return !m_browser->toPlainText().isEmpty();
}

} // namespace kp
