// A platform that answers from a script and records what the program showed and asked.
#pragma once

#include "app/Platform.h"

#include <deque>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace kp {

class ScriptedPlatform : public Platform {
  public:
    std::deque<Answer> answers;                       // yes/no/cancel questions, in order
    std::deque<std::optional<std::string>> openFiles; // chooser results, in order
    std::deque<std::optional<std::string>> saveFiles; // chooser results, in order
    std::deque<std::optional<std::string>> inputs;    // input box results, in order
    std::set<std::string> existing;                   // names fileExists says yes to
    std::vector<std::string> shown;                   // messages and errors, in order
    std::vector<std::string> asked;                   // questions, in order
    std::vector<FileChoice> saveChoices;
    std::string clipboard;
    int beeps = 0;
    ClockTime clock{14, 3};
    std::vector<std::string> longWork; // captions of the work run through runLong
    bool cancelLong = false;           // the user presses "Peruuta" at once

    void showMessage(const std::string& text) override { shown.push_back(text); }
    void showError(const std::string& text) override { shown.push_back(text); }
    Answer askYesNoCancel(const std::string& text) override {
        asked.push_back(text);
        return take(answers, Answer::Cancel);
    }
    bool askYesNo(const std::string& text) override {
        asked.push_back(text);
        return take(answers, Answer::No) == Answer::Yes;
    }
    bool askOkCancel(const std::string& text) override {
        asked.push_back(text);
        return take(answers, Answer::Cancel) == Answer::Yes;
    }
    void beep() override { ++beeps; }
    std::optional<std::string> inputBox(const std::string& caption, const std::string&,
                                        const std::string&) override {
        asked.push_back(caption);
        return take(inputs, std::optional<std::string>());
    }
    std::optional<std::string> chooseOpenFile(const FileChoice&) override {
        return take(openFiles, std::optional<std::string>());
    }
    std::optional<std::string> chooseSaveFile(const FileChoice& choice) override {
        saveChoices.push_back(choice);
        return take(saveFiles, std::optional<std::string>());
    }
    bool fileExists(const std::string& name) override { return existing.count(name) > 0; }
    void setClipboardText(const std::string& text) override { clipboard = text; }
    ClockTime clockTime() override { return clock; }
    bool runLong(const std::string& caption, std::function<void()> work) override {
        longWork.push_back(caption);
        if (cancelLong)
            return false;
        work();
        return true;
    }

  private:
    template <class T> static T take(std::deque<T>& queue, T fallback) {
        if (queue.empty())
            return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

} // namespace kp
