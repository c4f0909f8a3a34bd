// What the posting benchmarks post: "Uusi tosite", a date and one line of 10,00 on the first
// account, OK (the difference is accepted), so that the editor reopens for the next one.
#pragma once

#include "app/Application.h"

#include <string>

namespace bench {

inline void PostVoucher(kp::Application& app) {
    kp::VoucherEditor& editor = app.voucherEditor();
    if (!editor.visible())
        app.newVoucherCommand(false, nullptr);
    editor.dateEnter();
    for (const char c : std::string("1\r"))
        editor.chooserType(c);
    for (const char c : std::string("10"))
        editor.gridType(c);
    app.voucherOk(); // records the undo step (and hands the snapshot to a recovery writer)
}

} // namespace bench
