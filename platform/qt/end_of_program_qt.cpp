// The program ends the normal way on SIGINT, SIGTERM and the end of the desktop session: the main
// window is destroyed, so its will-be-destroyed handler runs and the message loop returns. The
// signal handler only writes a byte to a pipe (async-signal-safe); the message loop reads it.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>

#include "platform/gui.h"
#include "platform/qt/gui_qt_internal.h"

namespace gui::qt {
namespace {

int signalPipe[2] = {-1, -1};

extern "C" void OnTerminationSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // A full pipe already has a wake-up waiting; nothing is lost by dropping this one.
    [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
    errno = saved;
}

void EndProgram() {
    const std::string window = MainWindowName();
    if (!window.empty()) {
        DestroyWindow(window);
    }
}

}  // namespace

void InstallEndOfProgramHandlers() {
    static bool installed = false;
    if (installed || QCoreApplication::instance() == nullptr) {
        return;
    }
    installed = true;
    if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) == 0) {
        auto* notifier =
            new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] {
            char bytes[64];
            while (read(signalPipe[0], bytes, sizeof(bytes)) > 0) {
            }
            EndProgram();
        });
        struct sigaction action = {};
        action.sa_handler = OnTerminationSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGINT, &action, nullptr);
        sigaction(SIGTERM, &action, nullptr);
    }
    // The session manager asks the program to save its data before the session ends; it keeps
    // nothing, so it ends now. aboutToQuit covers a quit that came another way.
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
#ifndef QT_NO_SESSIONMANAGER
        QObject::connect(app, &QGuiApplication::commitDataRequest, app,
                         [](QSessionManager&) { EndProgram(); });
#endif
        QObject::connect(app, &QCoreApplication::aboutToQuit, app, [] { EndProgram(); });
    }
}

}  // namespace gui::qt
