// The platform interface over Qt's message boxes, input dialogs, file dialogs and clipboard.
#pragma once

#include "app/Platform.h"

#include <QString>

class QWidget;

namespace kp {

class QtPlatform : public Platform {
  public:
    // The dialogs open over the parent (none before the main window exists).
    void setParent(QWidget* parent) { m_parent = parent; }

    void showMessage(const std::string& text) override;
    void showError(const std::string& text) override;
    Answer askYesNoCancel(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    bool askOkCancel(const std::string& text) override;
    void beep() override;
    std::optional<std::string> inputBox(const std::string& caption, const std::string& prompt,
                                        const std::string& preset) override;
    std::optional<std::string> chooseOpenFile(const FileChoice& choice) override;
    std::optional<std::string> chooseSaveFile(const FileChoice& choice) override;
    bool fileExists(const std::string& fileName) override;
    void setClipboardText(const std::string& text) override;
    bool runLong(const std::string& caption, std::function<void()> work) override;

  private:
    // The window the dialogs open over.
    QWidget* dialogParent() const;

    QWidget* m_parent = nullptr;
};

// The chooser's filters as a Qt file-dialog filter string, and the one preselected.
QString DialogFilters(const FileChoice& choice, QString* selected);

} // namespace kp
