// Text conversion at the Qt boundary: node texts and report lines are Windows-1252 bytes.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace kp {

QString FromBook(std::string_view bytes);
QString FromUtf8(const std::string& text);
std::string ToUtf8(const QString& text);

} // namespace kp
