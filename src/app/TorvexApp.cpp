#include "app/TorvexApp.h"

#include "app/dialogs/FileChooser.h"
#include "app/DlgTorvex.h"
#include "app/SettingsFile.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBox.h"
#include "platform/QtBusyCursor.h"
#include "platform/QtMessageSink.h"
#include "platform/QtProgressHook.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <functional>
#include <memory>
#include <QApplication>
#include <QIcon>
#include <QSocketNotifier>
#include <QTimer>
#include <utility>

namespace {

// Installs the window's message boxes and busy cursor for its lifetime.
class CWindowPlatform {
public:
    CWindowPlatform()
        : previousSink(SetMessageSink(&sink)),
          previousHook(SetBusyCursorHook(&busyCursor)),
          previousProgress(SetProgressHook(&progress))
    {
    }
    ~CWindowPlatform()
    {
        SetProgressHook(previousProgress);
        SetBusyCursorHook(previousHook);
        SetMessageSink(previousSink);
    }
    CWindowPlatform(const CWindowPlatform&) = delete;
    CWindowPlatform& operator=(const CWindowPlatform&) = delete;

    CQtMessageSink sink;
    CQtProgressHook progress;

private:
    CQtBusyCursorHook busyCursor;
    CMessageSink* previousSink;
    CBusyCursorHook* previousHook;
    CProgressHook* previousProgress;
};

// The signals by which a session ends a program: a logout or kill (SIGTERM), Ctrl+C in
// a terminal (SIGINT), a closed terminal (SIGHUP). While an instance lives, each of them
// calls onSignal on the window's thread instead of ending the process at once: the
// handler only writes a byte to a socket, whose notifier runs onSignal from the event loop.
class CEndSignals {
public:
    explicit CEndSignals(std::function<void()> handler) : onSignal(std::move(handler))
    {
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0)
            return;  // no notification: the signals keep their default effect
        for (const int fd : sockets)
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        notifier = std::make_unique<QSocketNotifier>(sockets[1], QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, [this] { Drain(); });
        writeEnd = sockets[0];
        struct sigaction action {};
        action.sa_handler = &CEndSignals::Handler;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (int i = 0; i < SIGNAL_COUNT; ++i)
            installed[i] = sigaction(SIGNALS[i], &action, &previous[i]) == 0;
    }
    ~CEndSignals()
    {
        for (int i = 0; i < SIGNAL_COUNT; ++i) {
            if (installed[i])
                sigaction(SIGNALS[i], &previous[i], nullptr);
        }
        writeEnd = -1;
        notifier.reset();
        for (const int fd : sockets) {
            if (fd >= 0)
                close(fd);
        }
    }
    CEndSignals(const CEndSignals&) = delete;
    CEndSignals& operator=(const CEndSignals&) = delete;

private:
    static constexpr int SIGNAL_COUNT = 3;
    static constexpr int SIGNALS[SIGNAL_COUNT] = {SIGTERM, SIGINT, SIGHUP};

    // Async-signal-safe: one write to a non-blocking socket; errno is left as it was.
    static void Handler(int)
    {
        const int savedErrno = errno;
        const int fd = writeEnd;
        const char byte = 1;
        if (fd >= 0 && write(fd, &byte, 1) < 0) {
            // A full socket already holds a pending notification.
        }
        errno = savedErrno;
    }

    void Drain()
    {
        char buffer[64];
        while (read(sockets[1], buffer, sizeof buffer) > 0) {
        }
        onSignal();
    }

    static volatile std::sig_atomic_t writeEnd;
    std::function<void()> onSignal;
    int sockets[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier;
    struct sigaction previous[SIGNAL_COUNT] {};
    bool installed[SIGNAL_COUNT] = {};
};

volatile std::sig_atomic_t CEndSignals::writeEnd = -1;

// Closes the window as its close box does, also while dialogs, message boxes or menus
// are open: those are cancelled first, one per step, as each runs a loop of its own
// inside the window's. A box shown by the window's start (the last file did not load)
// runs before the window's own loop has begun: closing the window then would only hide
// it and leave the program waiting, so the close waits for the start to end.
class CWindowCloser {
public:
    explicit CWindowCloser(CDlgTorvex& target) : window(target)
    {
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [this] { Step(); });
    }
    void Start()
    {
        if (!timer.isActive())
            timer.start();
    }

private:
    void Step()
    {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            popup->close();
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != &window) {
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
            return;
        }
        if (window.IsStarting())
            return;
        timer.stop();
        window.close();
    }

    CDlgTorvex& window;
    QTimer timer;
};

}  // namespace

CTorvexApp::CTorvexApp(std::string path) : settingsPath(std::move(path)) {}

int CTorvexApp::Run(const std::vector<std::string>& files, CStartLoader* started)
{
    CWindowPlatform platform;
    const CSettingsFile settings(settingsPath);
    CDlgTorvex window;  // builds the start-up example
    platform.sink.SetParent(&window);
    platform.progress.SetParent(&window);
    CTorvexSession& session = window.Session();
    WindowPrefs prefs;
    prefs.viewSelection = session.viewSelection;
    settings.Read(session.lastPath, session.lastFile, *session.sheet.GraphAt(0), &prefs);
    if (!prefs.viewSelection.empty())
        session.viewSelection = prefs.viewSelection;
    session.followFiles = prefs.followFiles;
    session.chartKind = prefs.chartKind;
    session.portPairing = prefs.pairing;
    session.recentFiles = prefs.recentFiles;
    session.timeDomain = prefs.timeDomain;
    SetTouchstoneFilterChoice(prefs.fileFilter);
    window.SetStartFiles(files);
    session.startLoader = started;
    const auto save = [&] {
        WindowPrefs now;
        now.viewSelection = session.viewSelection;
        now.followFiles = session.followFiles;
        now.chartKind = session.chartKind;
        now.pairing = session.portPairing;
        now.recentFiles = session.recentFiles;
        now.timeDomain = session.timeDomain;
        // Still no gate unless one was chosen since.
        const TimeGate& gate = session.timeDomain.gate;
        const TimeGate& read = prefs.timeDomain.gate;
        now.gateUnset = prefs.gateUnset && !session.timeDomain.gateOn
            && gate.startNs == read.startNs && gate.stopNs == read.stopNs
            && gate.notch == read.notch;
        now.fileFilter = TouchstoneFilterChoice();
        settings.Write(session.lastPath, session.lastFile, *session.sheet.GraphAt(0), &now);
    };
    // A session that ends by a signal closes the window as the user would, and the
    // settings are written below as after any close.
    CWindowCloser closer(window);
    const CEndSignals endSignals([&closer] { closer.Start(); });
#if QT_CONFIG(sessionmanager)
    // A logout asks for the data first and may end the program without another word.
    const QMetaObject::Connection commit =
        QObject::connect(qApp, &QGuiApplication::commitDataRequest, save);
#endif
    window.exec();
    session.startLoader = nullptr;
#if QT_CONFIG(sessionmanager)
    QObject::disconnect(commit);
#endif
    save();
    return 0;
}

void SetApplicationIdentity()
{
    QApplication::setApplicationName("torvex");
    // No display name: Qt would append one that is set to every window title, and the
    // titles must read exactly as each window sets them.
    QApplication::setDesktopFileName("torvex");
    // The icon is drawn from its SVG at four sizes for the window manager, which costs the
    // window's first showing a few milliseconds: it follows from the event loop, once the
    // window is on its way.
    QTimer::singleShot(0, qApp, [] { QApplication::setWindowIcon(QIcon(":/torvex.svg")); });
}

int RunTorvexWindow(int argc, char** argv, const std::vector<std::string>& files,
                    CStartLoader* started)
{
    QApplication application(argc, argv);
    SetApplicationIdentity();
    return CTorvexApp(CSettingsFile::DefaultPath()).Run(files, started);
}
