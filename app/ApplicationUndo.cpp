// The application's undo and redo, and the maintenance page's edits recorded for them.
#include "app/Application.h"
#include "book/BookQueries.h"
#include "book/Win1252.h"

namespace kp {

TreeCommandResult Application::addNode(BookNode* selection) {
    const TreeCommandResult result = m_maintenance.addNode(selection);
    recordChange("Lis\xE4\xE4");
    return result;
}

TreeCommandResult Application::deleteNode(BookNode* selection) {
    // A node with children may be a whole voucher or the chart: asked first.
    if (selection && selection->level() > 0 && selection->hasChildren() &&
        !m_platform.askYesNo("Poistetaanko solmu \"" + Win1252ToUtf8(selection->text()) +
                             "\" alasolmuineen?"))
        return {};
    const TreeCommandResult result = m_maintenance.deleteNode(selection);
    if (result.bookTreeChanged)
        bookNodesChanged(); // the editors may have been open on it
    recordChange("Poista");
    return result;
}

TreeCommandResult Application::editNodeText(MaintenanceTree tree, BookNode* selection) {
    const TreeCommandResult result = m_maintenance.editNodeText(tree, selection);
    if (tree == MaintenanceTree::Book)
        recordChange("Muuta teksti");
    return result;
}

TreeCommandResult Application::dropNode(MaintenanceTree tree, DragSource source,
                                        BookNode* selection, BookNode* hitNode, DropSpot spot) {
    const TreeCommandResult result = m_maintenance.dropNode(tree, source, selection, hitNode, spot);
    if (tree == MaintenanceTree::Book)
        recordChange("Siirr\xE4");
    return result;
}

// --- undo and redo -------------------------------------------------------------------------

void Application::recordChange(std::string label) {
    if (m_oneShot || m_undo.record(m_state.openBook, std::move(label)))
        ++m_changes;
}

std::string Application::undoCaption() const {
    return canUndo() ? "Kumoa: " + std::string(m_undo.undoLabel()) : std::string("Kumoa");
}

std::string Application::redoCaption() const {
    return canRedo() ? "Tee uudelleen: " + std::string(m_undo.redoLabel())
                     : std::string("Tee uudelleen");
}

bool Application::undo() {
    return stepHistory(true);
}

bool Application::redo() {
    return stepHistory(false);
}

bool Application::stepHistory(bool back) {
    // A change that went unrecorded is undone on its own rather than lost.
    recordChange("Muutos");
    const std::string label(back ? m_undo.undoLabel() : m_undo.redoLabel());
    if (!(back ? m_undo.undo(m_state.openBook) : m_undo.redo(m_state.openBook)))
        return false;
    ++m_changes;
    m_status = (back ? "Kumottu: " : "Tehty uudelleen: ") + label;
    m_state.unsavedChanges = !m_undo.atSaved();
    bookRestored();
    return true;
}

void Application::bookRestored() {
    m_vatRatePanel.cancel();
    m_accountEditor.forgetBook();
    // A new voucher being typed refers to no book node and stays; one still untouched is
    // proposed afresh, with the number and date that follow the journal as it is now.
    const bool newVoucher = m_voucherEditor.visible() && !m_voucherEditor.editedEvent();
    if (!newVoucher)
        m_voucherEditor.forgetBook();
    m_state.markAllStale();
    m_state.periods.eventsContainerLevel = -1;
    rebuildAccountIndex();
    // The fiscal year's end and the chooser's year list follow the dates an undo brought back,
    // as opening a book reads them; an undo reports nothing about them.
    const BookNode* fiscalYear = m_index.fiscalYear();
    ValidateFiscalYear(NthDate(1, fiscalYear), NthDate(2, fiscalYear), m_state.periods);
    if (newVoucher) {
        // Posting and the proposal read the journal view, which must show this book now.
        m_state.clearStale(Stale::Journal);
        m_journal.build(journalSource());
        if (m_voucherEditor.lineCount() == 0) {
            m_voucherEditor.cancel();
            m_voucherEditor.newVoucher(false, nullptr);
        }
    }
    // The tree pages refer to book nodes and are rebuilt now; a ledger or VAT page keeps its
    // lines until it is shown again, as after any change, instead of asking for its period.
    if (m_activeTab != Tab::Ledger && m_activeTab != Tab::Vat)
        pageChanged();
}

void Application::bookSaved() {
    // What was written is where undoing clears the unsaved-changes flag again.
    recordChange("Muutos");
    m_undo.markSaved();
    // The file now holds what a recovery copy held, also one kept after a "Ei" at start.
    dropRecovery();
    if (m_recovery)
        m_recovery->remove(m_fileName);
    m_recoveryScheduler.settled(m_changes);
    m_restoredFrom.clear();
    const ClockTime now = m_platform.clockTime();
    m_status = "Tallennettu klo " + std::to_string(now.hour) + "." + (now.minute < 10 ? "0" : "") +
               std::to_string(now.minute);
}

void Application::bookReplaced(std::string* snapshot) {
    if (snapshot)
        m_undo.reset(std::move(*snapshot), !m_state.unsavedChanges);
    else if (!m_oneShot)
        m_undo.reset(m_state.openBook, !m_state.unsavedChanges);
    m_status.clear();
    // The changes of the book replaced were saved or given up.
    dropRecovery();
    m_recoveryScheduler.settled(m_changes);
    m_restoredFrom.clear();
}

} // namespace kp
