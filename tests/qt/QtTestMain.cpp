// Runs every Qt test class of the front end in one offscreen application.
#include <QApplication>

int RunAdapterTests(int argc, char** argv);
int RunBookTreeModelTests(int argc, char** argv);
int RunMainWindowTests(int argc, char** argv);
int RunVoucherDialogTests(int argc, char** argv);
int RunEditorDialogsTests(int argc, char** argv);
int RunTabStopBarTests(int argc, char** argv);
int RunWindowCommandsTests(int argc, char** argv);
int RunWindowCloseTests(int argc, char** argv);
int RunKeyboardTests(int argc, char** argv);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    int failures = 0;
    failures += RunAdapterTests(argc, argv);
    failures += RunBookTreeModelTests(argc, argv);
    failures += RunMainWindowTests(argc, argv);
    failures += RunVoucherDialogTests(argc, argv);
    failures += RunEditorDialogsTests(argc, argv);
    failures += RunTabStopBarTests(argc, argv);
    failures += RunWindowCommandsTests(argc, argv);
    failures += RunWindowCloseTests(argc, argv);
    failures += RunKeyboardTests(argc, argv);
    return failures == 0 ? 0 : 1;
}
