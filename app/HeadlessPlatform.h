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
    bool askOpenDamaged(const std::string& damage) override {
        if (salvage) {
            m_err << damage
                  << " Luetaan silti niin pitk\u00e4lle kuin se on ehj\u00e4 (--salvage).\n";
            return true;
        }
        m_err << damage
              << " Tiedostoa ei avattu; valitsin --salvage lukee sen niin pitk\u00e4lle kuin se on "
                 "ehj\u00e4.\n";
        return false;
    }

    // "--salvage" on the command line: damaged books are read as far as they go. Set by RunCli
    // for the one command it runs.
    static inline bool salvage = false;

  private:
    std::ostream& m_err;
    bool m_answerYes;
};

} // namespace kp
