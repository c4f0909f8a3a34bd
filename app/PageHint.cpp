// The one line an empty statement page shows while it waits for its period.
#include "app/PageHint.h"

#include "app/Application.h"

namespace kp {

std::string_view EmptyPageHint(const Application& app) {
    if (!app.pageControlVisible() || app.chooser().visible())
        return {};
    const Tab tab = app.activeTab();
    const bool waiting = (tab == Tab::Ledger && app.state().isStale(Stale::Ledger)) ||
                         (tab == Tab::Vat && app.state().isStale(Stale::Vat));
    return waiting ? kChoosePeriodHint : std::string_view();
}

} // namespace kp
