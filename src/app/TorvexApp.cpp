#include "app/TorvexApp.h"

#include "app/DlgTorvex.h"
#include "app/SettingsFile.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBox.h"
#include "platform/QtBusyCursor.h"
#include "platform/QtMessageSink.h"

#include <QApplication>
#include <QIcon>
#include <utility>

namespace {

// Installs the window's message boxes and busy cursor for its lifetime.
class CWindowPlatform {
public:
    CWindowPlatform()
        : previousSink(SetMessageSink(&sink)), previousHook(SetBusyCursorHook(&busyCursor))
    {
    }
    ~CWindowPlatform()
    {
        SetBusyCursorHook(previousHook);
        SetMessageSink(previousSink);
    }
    CWindowPlatform(const CWindowPlatform&) = delete;
    CWindowPlatform& operator=(const CWindowPlatform&) = delete;

    CQtMessageSink sink;

private:
    CQtBusyCursorHook busyCursor;
    CMessageSink* previousSink;
    CBusyCursorHook* previousHook;
};

}  // namespace

CTorvexApp::CTorvexApp(std::string path) : settingsPath(std::move(path)) {}

int CTorvexApp::Run(const std::vector<std::string>& files)
{
    CWindowPlatform platform;
    const CSettingsFile settings(settingsPath);
    CDlgTorvex window;  // builds the start-up example
    platform.sink.SetParent(&window);
    CTorvexSession& session = window.Session();
    settings.Read(session.lastPath, session.lastFile, *session.sheet.GraphAt(0));
    window.SetStartFiles(files);
    window.exec();
    settings.Write(session.lastPath, session.lastFile, *session.sheet.GraphAt(0));
    return 0;
}

void SetApplicationIdentity()
{
    QApplication::setApplicationName("torvex");
    // No display name: Qt would append one that is set to every window title, and the
    // titles must read exactly as each window sets them.
    QApplication::setDesktopFileName("torvex");
    QApplication::setWindowIcon(QIcon(":/torvex.svg"));
}

int RunTorvexWindow(int argc, char** argv, const std::vector<std::string>& files)
{
    QApplication application(argc, argv);
    SetApplicationIdentity();
    return CTorvexApp(CSettingsFile::DefaultPath()).Run(files);
}
