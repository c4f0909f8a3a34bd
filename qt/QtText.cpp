// Text conversion at the Qt boundary.
#include "qt/QtText.h"

#include "book/Win1252.h"

namespace kp {

QString FromBook(std::string_view bytes) {
    return QString::fromStdString(Win1252ToUtf8(bytes));
}

QString FromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

std::string ToUtf8(const QString& text) {
    return text.toStdString();
}

} // namespace kp
