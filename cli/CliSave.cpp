// How every kirjanpito-cli command writes a book.
#include "cli/CliSave.h"

#include "book/Backups.h"

namespace kp {

int SaveCommandBook(const BookTree& tree, const std::string& fileName, std::ostream& err) {
    const FileResult r = SaveBookKeepingBackup(tree, fileName);
    if (!r.message.empty())
        err << r.message << '\n';
    return r ? 0 : 1;
}

} // namespace kp
