// The one interface through which the program's logic reaches the user and the desktop.
#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kp {

enum class Answer { Yes, No, Cancel };

struct FileFilter {
    std::string name;    // "*.tlk"
    std::string pattern; // "*.tlk; *.csv"
};

struct FileChoice {
    std::vector<FileFilter> filters;
    int filterIndex = 0;          // preselected, 0-based
    std::string defaultExtension; // appended to a name typed without one
    std::string fileName;         // proposed name or folder
};

// A time of day, for the status bar.
struct ClockTime {
    int hour = 0;
    int minute = 0;
};

// All texts are UTF-8: the core converts node texts before it shows them and converts what the
// user typed back to Windows-1252, refusing what that cannot hold.
class Platform {
  public:
    virtual ~Platform() = default;
    virtual void showMessage(const std::string& text) = 0;
    virtual void showError(const std::string& text) = 0;
    virtual Answer askYesNoCancel(const std::string& text) = 0;
    virtual bool askYesNo(const std::string& text) = 0;
    // An error-style box with OK and Cancel; true on OK.
    virtual bool askOkCancel(const std::string& text) = 0;
    virtual void beep() {}
    virtual std::optional<std::string>
    inputBox(const std::string& caption, const std::string& prompt, const std::string& preset) = 0;
    virtual std::optional<std::string> chooseOpenFile(const FileChoice& choice) = 0;
    virtual std::optional<std::string> chooseSaveFile(const FileChoice& choice) = 0;
    virtual bool fileExists(const std::string& fileName) = 0;
    virtual void setClipboardText(const std::string& text) = 0;
    // A book file is damaged (the text says what and where): whether to open it anyway, as far
    // as it reads.
    virtual bool askOpenDamaged(const std::string& damage) {
        return askYesNo(
            damage + "\n\nAvataanko silti? Kirja luetaan niin pitk\u00e4lle kuin se on ehj\u00e4, "
                     "eik\u00e4 sit\u00e4 tallenneta vaurioituneen tiedoston p\u00e4\u00e4lle "
                     "kysym\u00e4tt\u00e4.");
    }
    // Long work off the window's thread, while the window repaints and, when it lasts, a box
    // with the caption offers "Peruuta". False when the user cancelled: the work then runs to
    // its end unseen and its result is dropped, so it must own everything it touches.
    virtual bool runLong(const std::string& /*caption*/, std::function<void()> work) {
        work();
        return true;
    }
    // The local time now ("Tallennettu klo 14.03").
    virtual ClockTime clockTime() {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        localtime_r(&now, &local);
        return {local.tm_hour, local.tm_min};
    }
};

} // namespace kp
