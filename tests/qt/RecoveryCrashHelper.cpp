// The window for the crash test. "post BOOK": opens the book, posts a voucher through the voucher
// box, says "kopio kirjoitettu" once its recovery copy is on disk and waits to be killed.
// "restart BOOK": opens the book as the next start does, answers "Kyllä" to the recovery
// question and prints the question, the journal's voucher count and the unsaved-changes flag.
#include "qt/DateFieldEdit.h"
#include "qt/MainWindow.h"
#include "qt/QtText.h"
#include "qt/VoucherDialog.h"
#include "tests/app/ScriptedPlatform.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <cstdio>
#include <filesystem>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 3)
        return 2;
    const std::string mode = argv[1];
    const std::string book = argv[2];
    kp::ScriptedPlatform platform;
    platform.existing.insert(book);
    kp::MainWindow window(platform, kp::Settings{}, std::string());
    window.show();
    if (!window.openFile(book))
        return 1;
    if (mode == "restart") {
        platform.answers = {kp::Answer::Yes};
        window.startRecovery();
        for (const std::string& question : platform.asked)
            std::printf("kysytty: %s\n", question.c_str());
        std::printf("tositteita: %d\ntallentamattomia: %d\n",
                    window.app().journal().root()->childCount(),
                    window.app().state().unsavedChanges ? 1 : 0);
        return 0;
    }
    window.startRecovery();
    // 100,00 from 1900 to 3000 on 5.1.2026, as a user types it.
    window.voucherCommand(0);
    kp::VoucherDialog* dialog = window.voucherDialog();
    QTest::keyClicks(dialog->dateEdit(), QStringLiteral("05012026"));
    QTest::keyClick(dialog->dateEdit(), Qt::Key_Return);
    QTest::keyClick(dialog->descriptionEdit(), Qt::Key_Return);
    QLineEdit* chooser = dialog->chooser()->lineEdit();
    QTest::keyClicks(chooser, QStringLiteral("1900"));
    QTest::keyClick(chooser, Qt::Key_Return);
    QTest::keyClicks(dialog->grid(), QStringLiteral("100"));
    QTest::keyClick(dialog->grid(), Qt::Key_Return);
    QTest::keyClicks(chooser, QStringLiteral("3000"));
    QTest::keyClick(chooser, Qt::Key_Return);
    QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
    const std::filesystem::path copy =
        kp::RecoveryFileFor(kp::RecoveryFolder(kp::UserStateFolder()), book);
    if (!QTest::qWaitFor([&] { return std::filesystem::exists(copy); }, 30000))
        return 1;
    std::printf("kopio kirjoitettu: %s\n", copy.c_str());
    std::fflush(stdout);
    return QApplication::exec(); // until killed
}
