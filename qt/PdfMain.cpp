// kirjanpito-pdf SIVU KIRJA -o TIEDOSTO.pdf [--period N] [--year VUOSI] [--balances]
// [--compare KIRJA2] [--filter TEKSTI] [--statement TILIT]: a page printed to an A4 PDF as the
// window's "Tulosta" prints it, without a display (QT_QPA_PLATFORM=offscreen).
#include "qt/PdfPrint.h"

#include <QGuiApplication>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char* argv[]) {
    QGuiApplication application(argc, argv);
    std::vector<std::string> args{"pdf"};
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);
    return kp::PdfCommand(args, std::cerr);
}
