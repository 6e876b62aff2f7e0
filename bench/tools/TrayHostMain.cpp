// A system tray for benchmarks run under Xvfb, which has none: prints "ready" once it owns
// the tray selection, then docks every icon that asks until it is killed.
#include "integration/App/TrayHost.h"

#include <cstdio>
#include <unistd.h>

namespace {
constexpr useconds_t pollIntervalUs = 2000;
} // namespace

int main()
{
    TrayHost tray;
    if (!tray.isRunning()) {
        std::fprintf(stderr, "tray host: another tray owns the selection\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) {
        tray.processEvents();
        usleep(pollIntervalUs);
    }
}
