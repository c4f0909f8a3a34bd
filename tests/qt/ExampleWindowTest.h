// The window tests' common start: the main window shown and opened on a copy of the example book.
#pragma once

#include "qt/MainWindow.h"
#include "qt/QtText.h"
#include "tests/app/ScriptedPlatform.h"

#include <QFile>
#include <QObject>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace kp {

class ExampleWindowTest : public QObject {
  protected:
    std::string bookPath() const { return ToUtf8(m_dir->filePath("book.tlk")); }

    // Copies the book into a folder of its own, shows the window and opens the book. With
    // known, the platform says the book's file exists (for "Tallenna" without a chooser); with
    // active, the window is waited for until it has the keyboard.
    bool openExample(bool known, bool active) {
        m_dir = std::make_unique<QTemporaryDir>();
        if (!QFile::copy(QStringLiteral(KP_SOURCE_DIR) + "/examples/esimerkki-2026.tlk",
                         m_dir->filePath("book.tlk")))
            return false;
        m_platform = std::make_unique<ScriptedPlatform>();
        if (known)
            m_platform->existing.insert(bookPath());
        m_window = std::make_unique<MainWindow>(*m_platform, Settings{}, std::string());
        m_window->show();
        if (active && !QTest::qWaitForWindowActive(m_window.get()))
            return false;
        return m_window->openFile(bookPath());
    }

    void closeExample() {
        m_window.reset();
        m_platform.reset();
        m_dir.reset();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedPlatform> m_platform;
    std::unique_ptr<MainWindow> m_window;
};

} // namespace kp
