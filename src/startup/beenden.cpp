#include "startup/beenden.h"

#include "toolwindow/toolwin2.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int signalRohr[2] = {-1, -1};

extern "C" void signalMelden(int)
{
    // Only what a signal handler may do: one byte into the pipe, read in the event loop.
    const int fehler = errno;
    const char b = 1;
    [[maybe_unused]] const ssize_t n = ::write(signalRohr[1], &b, 1);
    errno = fehler;
}

} // namespace

void BeendenEinrichten(TToolForm &werkzeug)
{
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &werkzeug,
                     [&werkzeug](QSessionManager &) { werkzeug.EinstellungenSichern(); });
    if (::pipe2(signalRohr, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *melder = new QSocketNotifier(signalRohr[0], QSocketNotifier::Read, &werkzeug);
    QObject::connect(melder, &QSocketNotifier::activated, &werkzeug, [&werkzeug] {
        char puffer[16];
        while (::read(signalRohr[0], puffer, sizeof puffer) > 0) {
        }
        werkzeug.ohneRueckfrageBeenden();
    });
    struct sigaction sa = {};
    sa.sa_handler = signalMelden;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (const int sig : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(sig, &sa, nullptr);
}
