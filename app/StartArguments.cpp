// The window program's command line.
#include "app/StartArguments.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace kp {
namespace {

bool NamesBookFile(const std::string& argument) {
    std::string extension = std::filesystem::path(argument).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::error_code error;
    return (extension == ".tlk" || extension == ".txt") &&
           std::filesystem::is_regular_file(argument, error);
}

} // namespace

StartArguments ParseStartArguments(const std::vector<std::string>& arguments) {
    StartArguments start;
    std::optional<std::string> opened;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--open" && i + 1 < arguments.size())
            opened = arguments[++i];
        else if (a == "--screenshots" && i + 1 < arguments.size())
            start.screenshots = arguments[++i];
        else if (!start.book && NamesBookFile(a))
            start.book = a;
        else if (!start.profile)
            start.profile = a;
    }
    if (opened)
        start.book = opened;
    return start;
}

} // namespace kp
