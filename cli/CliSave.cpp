// How every kirjanpito-cli command writes a book.
#include "cli/CliSave.h"

#include "book/Backups.h"

namespace kp {

namespace {
int Reported(const FileResult& r, std::ostream& err) {
    if (!r.message.empty())
        err << r.message << '\n';
    return r ? 0 : 1;
}
} // namespace

int SaveCommandBook(const BookTree& tree, const std::string& fileName, std::ostream& err) {
    return Reported(SaveBookKeepingBackup(tree, fileName), err);
}

int SaveCommandText(const std::string& text, const std::string& fileName, std::ostream& err) {
    return Reported(SaveBookTextKeepingBackup(text, fileName), err);
}

} // namespace kp
