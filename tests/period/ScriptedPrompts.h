// Test support: prompts that answer from a script and record every text put to the user.
#pragma once

#include "period/PeriodPrompts.h"

#include <deque>
#include <string>
#include <vector>

namespace kp::test {

struct ScriptedPrompts : PeriodPrompts {
    bool saveAnswer = true;   // the unsaved-changes question: false cancels
    std::deque<bool> answers; // the other questions in order; none left: Cancel or No
    std::vector<std::string> shown;
    std::vector<std::string> asked;

    bool askSaveChanges() override { return saveAnswer; }
    void show(const std::string& text) override { shown.push_back(text); }
    bool askOkCancel(const std::string& text) override { return answer(text); }
    bool askYesNo(const std::string& text) override { return answer(text); }
    bool answer(const std::string& text) {
        asked.push_back(text);
        const bool a = !answers.empty() && answers.front();
        if (!answers.empty())
            answers.pop_front();
        return a;
    }
};

} // namespace kp::test
