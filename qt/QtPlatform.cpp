// The platform interface over Qt's dialogs and clipboard.
#include "qt/QtPlatform.h"

#include "qt/ProgressBox.h"
#include "qt/QtText.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>

namespace kp {
namespace {

const QString kCaption = QStringLiteral("Kirjanpito");

} // namespace

QWidget* QtPlatform::dialogParent() const {
    // The boxes of the dialog form stay on top of the main window: a question about one of
    // them ("Summien ero", "Tosite on kesken") must open over it, not hidden behind it.
    if (m_parent) {
        // The box the user is working in, when it is one of the window's.
        if (QWidget* active = QApplication::activeWindow();
            active && active->isVisible() && active->parentWidget() == m_parent)
            return active;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->isVisible() && widget->parentWidget() == m_parent &&
                widget->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
                return widget;
    }
    return m_parent;
}

QString DialogFilters(const FileChoice& choice, QString* selected) {
    QStringList filters;
    for (const FileFilter& filter : choice.filters) {
        // "*.tlk; *.csv" lists its patterns with semicolons; Qt wants them between blanks.
        QStringList patterns;
        for (const QString& p : FromUtf8(filter.pattern).split(';', Qt::SkipEmptyParts))
            patterns << p.trimmed();
        filters << FromUtf8(filter.name) + " (" + patterns.join(' ') + ")";
    }
    if (selected && choice.filterIndex >= 0 && choice.filterIndex < filters.size())
        *selected = filters[choice.filterIndex];
    return filters.join(";;");
}

void QtPlatform::showMessage(const std::string& text) {
    QMessageBox::information(dialogParent(), kCaption, FromUtf8(text));
}

void QtPlatform::showError(const std::string& text) {
    QMessageBox::critical(dialogParent(), kCaption, FromUtf8(text));
}

Answer QtPlatform::askYesNoCancel(const std::string& text) {
    const auto button = QMessageBox::question(
        dialogParent(), kCaption, FromUtf8(text),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (button == QMessageBox::Yes)
        return Answer::Yes;
    return button == QMessageBox::No ? Answer::No : Answer::Cancel;
}

bool QtPlatform::askYesNo(const std::string& text) {
    return QMessageBox::question(dialogParent(), kCaption, FromUtf8(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool QtPlatform::askOkCancel(const std::string& text) {
    return QMessageBox::critical(dialogParent(), kCaption, FromUtf8(text),
                                 QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

void QtPlatform::beep() {
    QApplication::beep();
}

std::optional<std::string> QtPlatform::inputBox(const std::string& caption,
                                                const std::string& prompt,
                                                const std::string& preset) {
    bool ok = false;
    const QString text = QInputDialog::getText(dialogParent(), FromUtf8(caption), FromUtf8(prompt),
                                               QLineEdit::Normal, FromUtf8(preset), &ok);
    if (!ok)
        return std::nullopt;
    return ToUtf8(text);
}

std::optional<std::string> QtPlatform::chooseOpenFile(const FileChoice& choice) {
    QString selected;
    const QString filters = DialogFilters(choice, &selected);
    const QString name = QFileDialog::getOpenFileName(
        dialogParent(), QStringLiteral("Avaa"), FromUtf8(choice.fileName), filters, &selected);
    if (name.isEmpty())
        return std::nullopt;
    return ToUtf8(name);
}

std::optional<std::string> QtPlatform::chooseSaveFile(const FileChoice& choice) {
    QString selected;
    const QString filters = DialogFilters(choice, &selected);
    // The controller appends the default extension itself, so the dialog is not asked to.
    const QString name = QFileDialog::getSaveFileName(
        dialogParent(), QStringLiteral("Tallenna"), FromUtf8(choice.fileName), filters, &selected);
    if (name.isEmpty())
        return std::nullopt;
    return ToUtf8(name);
}

bool QtPlatform::fileExists(const std::string& fileName) {
    const QFileInfo info(FromUtf8(fileName));
    return info.exists() && info.isFile();
}

void QtPlatform::setClipboardText(const std::string& text) {
    QApplication::clipboard()->setText(FromUtf8(text));
}

bool QtPlatform::runLong(const std::string& caption, std::function<void()> work) {
    return RunOffThread(dialogParent(), FromUtf8(caption), std::move(work));
}

} // namespace kp
