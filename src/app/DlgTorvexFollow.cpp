// The window's following of the loaded files: the watcher, the settle timer, the retries.
#include "app/DlgTorvex.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QStringList>
#include <QTimer>

void CDlgTorvex::OnReload()
{
    if (!session.dataLoaded)
        return;
    // Asked for by hand: what reads is taken, a file that fails is named and marked stale.
    session.Reload(false, true);
    WatchLoadedFiles();
    ShowReadout();
}

void CDlgTorvex::WatchLoadedFiles()
{
    const QStringList old = watcher->files() + watcher->directories();
    if (!old.isEmpty())
        watcher->removePaths(old);
    reloadTimer->stop();
    if (!session.followFiles || !session.dataLoaded)
        return;
    QStringList paths;
    for (int n = 1; n <= CTorvexSession::SLOT_COUNT; ++n) {
        const CS2pData& slot = session.Slot(n);
        if (!slot.loaded)
            continue;
        const QFileInfo info(QString::fromStdString(slot.fileName));
        paths << info.absoluteFilePath() << info.absolutePath();
    }
    paths.removeDuplicates();
    watcher->addPaths(paths);
}

void CDlgTorvex::OnFileChanged()
{
    // Wait for the writing to settle: editors and simulators write in several steps.
    reloadTries = 0;
    reloadTimer->start();
}

void CDlgTorvex::OnReloadTimer()
{
    if (!session.followFiles || !session.dataLoaded)
        return;
    if (!session.FilesChanged())
        return;  // a change in the folder that left the files alone
    // Caught half-written or between delete and rename: the old chart stays and the files
    // are tried again. The last try takes what reads and marks the rest stale.
    const bool lastTry = reloadTries + 1 >= RELOAD_TRIES;
    if (session.Reload(true, lastTry) || lastTry) {
        WatchLoadedFiles();  // a file replaced by a rename is a new file to watch
        ShowReadout();
        return;
    }
    ++reloadTries;
    reloadTimer->start();
}
