// Following the loaded files on disk for the window: watches them (and their folders, for a
// file replaced by a rename), waits for the writing to settle, reloads through the session
// and tries again while a file reads only half-written; the last try marks what still
// fails stale. Each step is a public method, so tests drive it without waiting for events.
#pragma once

#include <functional>
#include <QObject>
#include <QStringList>

class CTorvexSession;
class QFileSystemWatcher;
class QTimer;

class CFileFollower : public QObject {
    Q_OBJECT

public:
    // A followed file is read once it has been quiet this long; a failed read is tried
    // again as often, TRIES times in all, before the file is marked stale.
    static constexpr int SETTLE_MS = 300;
    static constexpr int TRIES = 10;

    explicit CFileFollower(CTorvexSession& followed, QObject* parent = nullptr);

    // Watches the session's loaded files afresh (nothing while following is off or no data
    // is loaded); a pending settle is dropped.
    void WatchLoadedFiles();
    // A change reported on disk: the tries start again once the writing has settled.
    void OnFileChanged();
    // The settle time is over: reloads when a file changed. Returns whether another try is
    // due (it is then scheduled): a file read half-written before the last try.
    bool TryReload();
    // Reload asked for by hand: what reads is taken, a file that fails is named and marked
    // stale.
    void ReloadNow();
    // "Follow file changes": on catches up with what changed while it was off.
    void SetFollowing(bool on);

    // The paths watched now, and how many tries of the present change failed.
    QStringList WatchedPaths() const;
    int FailedTries() const { return failedTries; }
    // Whether a reload waits for the writing to settle.
    bool Settling() const;
    // The settle time in milliseconds; tests shorten it.
    void SetSettleTime(int ms);

    // Called after every reload that took effect, so the window shows the stale files.
    std::function<void()> onReloaded;

private:
    CTorvexSession& session;
    QFileSystemWatcher* watcher = nullptr;
    QTimer* settleTimer = nullptr;
    int failedTries = 0;
};
