// The platform of the command line: messages go to standard error, questions are answered no.
#pragma once

#include "app/Platform.h"

#include <ostream>

namespace kp {

class HeadlessPlatform : public Platform {
  public:
    explicit HeadlessPlatform(std::ostream& err, bool answerYes = false)
        : m_err(err), m_answerYes(answerYes) {}
    void showMessage(const std::string& text) override { m_err << text << '\n'; }
    void showError(const std::string& text) override { m_err << text << '\n'; }
    Answer askYesNoCancel(const std::string& text) override {
        m_err << text << (m_answerYes ? " kyllä\n" : " ei\n");
        return m_answerYes ? Answer::Yes : Answer::No;
    }
    bool askYesNo(const std::string& text) override {
        m_err << text << (m_answerYes ? " kyllä\n" : " ei\n");
        return m_answerYes;
    }
    bool askOkCancel(const std::string& text) override {
        m_err << text << (m_answerYes ? " OK\n" : " Peruuta\n");
        return m_answerYes;
    }
    std::optional<std::string> inputBox(const std::string&, const std::string&,
                                        const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> chooseOpenFile(const FileChoice&) override { return std::nullopt; }
    std::optional<std::string> chooseSaveFile(const FileChoice&) override { return std::nullopt; }
    bool fileExists(const std::string&) override { return false; }
    void setClipboardText(const std::string&) override {}

  private:
    std::ostream& m_err;
    bool m_answerYes;
};

} // namespace kp
