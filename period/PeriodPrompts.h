// The questions and messages that the year-end operations put to the user while they run.
#pragma once

#include <string>

namespace kp {

// Texts are Windows-1252, like node texts; the application converts them for the screen.
class PeriodPrompts {
  public:
    virtual ~PeriodPrompts() = default;
    // The unsaved-changes question before the book is reshaped (saving when the user says so).
    // False when the user cancels.
    virtual bool askSaveChanges() = 0;
    // An information message with an OK button.
    virtual void show(const std::string& text) = 0;
    // An error-style box with OK and Cancel; true on OK.
    virtual bool askOkCancel(const std::string& text) = 0;
    // A question with Yes and No; true on Yes.
    virtual bool askYesNo(const std::string& text) = 0;
};

} // namespace kp
