#include "app/FileFollower.h"

#include "app/TorvexSession.h"

#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

CFileFollower::CFileFollower(CTorvexSession& followed, QObject* parent)
    : QObject(parent), session(followed)
{
    watcher = new QFileSystemWatcher(this);
    connect(watcher, &QFileSystemWatcher::fileChanged, this, &CFileFollower::OnFileChanged);
    connect(watcher, &QFileSystemWatcher::directoryChanged, this, &CFileFollower::OnFileChanged);
    settleTimer = new QTimer(this);
    settleTimer->setSingleShot(true);
    settleTimer->setInterval(SETTLE_MS);
    connect(settleTimer, &QTimer::timeout, this, [this] { TryReload(); });
}

void CFileFollower::WatchLoadedFiles()
{
    const QStringList old = WatchedPaths();
    if (!old.isEmpty())
        watcher->removePaths(old);
    settleTimer->stop();
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

void CFileFollower::OnFileChanged()
{
    // Wait for the writing to settle: editors and simulators write in several steps.
    failedTries = 0;
    settleTimer->start();
}

bool CFileFollower::TryReload()
{
    if (!session.followFiles || !session.dataLoaded)
        return false;
    if (!session.FilesChanged())
        return false;  // a change in the folder that left the files alone
    // Caught half-written or between delete and rename: the old chart stays and the files
    // are tried again. The last try takes what reads and marks the rest stale.
    const bool lastTry = failedTries + 1 >= TRIES;
    if (session.Reload(true, lastTry) || lastTry) {
        WatchLoadedFiles();  // a file replaced by a rename is a new file to watch
        if (onReloaded)
            onReloaded();
        return false;
    }
    ++failedTries;
    settleTimer->start();
    return true;
}

void CFileFollower::ReloadNow()
{
    if (!session.dataLoaded)
        return;
    session.Reload(false, true);
    WatchLoadedFiles();
    if (onReloaded)
        onReloaded();
}

void CFileFollower::SetFollowing(bool on)
{
    session.followFiles = on;
    WatchLoadedFiles();
    if (on && session.FilesChanged())
        OnFileChanged();  // what changed while not followed
}

QStringList CFileFollower::WatchedPaths() const
{
    return watcher->files() + watcher->directories();
}

bool CFileFollower::Settling() const
{
    return settleTimer->isActive();
}

void CFileFollower::SetSettleTime(int ms)
{
    settleTimer->setInterval(ms);
}
