// How every kirjanpito-cli command writes a book.
#include "cli/CliSave.h"

#include "book/Backups.h"
#include "book/FileIo.h"

namespace kp {

int SaveCommandBook(const BookTree& tree, const std::string& fileName, std::ostream& err) {
    const FileResult r = SaveBookKeepingBackup(tree, fileName);
    if (!r.message.empty())
        err << r.message << '\n';
    return r ? 0 : 1;
}

int SaveCommandText(const std::string& text, const std::string& fileName, std::ostream& err) {
    const std::string warning = KeepBackup(fileName, UserDataFolder());
    const WriteCheck check = [&](const std::string& copyName) -> std::string {
        std::string written;
        if (!ReadWholeFile(copyName, written) || written != text)
            return "Tallennettua tiedostoa luettaessa kirja ei ollut sama kuin muistissa; "
                   "tiedosto on ennallaan.";
        return {};
    };
    if (const FileResult r = WriteFileReplacing(fileName, text, check); !r) {
        err << "Cannot create file " << fileName << '\n' << r.message << '\n';
        return 1;
    }
    if (!warning.empty())
        err << warning << '\n';
    return 0;
}

} // namespace kp
