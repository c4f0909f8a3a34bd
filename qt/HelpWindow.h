// The help page in a window of the program, so that "Ohje" works without a web browser.
#pragma once

#include <QWidget>

class QTextBrowser;

namespace kp {

class HelpWindow : public QWidget {
    Q_OBJECT

  public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // The help page: beside the program, named like it with ".html" (a build or a portable
    // install), else in the installed data folder. Empty when there is none.
    static QString helpFilePath();

    // Shows the page; false when the file cannot be read.
    bool open(const QString& fileName);
    QTextBrowser* browser() const { return m_browser; }

  private:
    QTextBrowser* m_browser;
};

} // namespace kp
