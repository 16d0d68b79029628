// The files named on the command line, read on another core while Qt starts and the window
// is built: the window then takes them as if it had read them itself, messages included.
// The same thread first loads the font configuration, which the window's layout needs.
#pragma once

#include "data/S2pData.h"
#include "platform/MessageBox.h"

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CStartLoader {
public:
    CStartLoader() = default;
    ~CStartLoader();
    CStartLoader(const CStartLoader&) = delete;
    CStartLoader& operator=(const CStartLoader&) = delete;

    // Files up to this size are read ahead: they take well under the half second after
    // which the window shows its progress dialog.
    static constexpr std::uintmax_t READ_AHEAD_BYTES = std::uintmax_t(32) << 20;

    // Starts a thread of its own that loads the font configuration and then reads the
    // files, in their order; with no files, only the fonts.
    void Start(const std::vector<std::string>& paths);
    // The file at path as it was read (waiting for it if need be), once: its data, the
    // reader's result and the messages it showed, which the caller shows in turn. False when
    // the file was not among those read here (a later load reads it anew).
    bool Take(const std::string& path, CS2pData& data, int& result,
              std::vector<std::pair<std::string, MessageIcon>>& messages);

private:
    struct File {
        std::string key;  // the absolute path, lexically normal
        CS2pData data;
        int result = 0;
        std::vector<std::pair<std::string, MessageIcon>> messages;
        bool taken = false;
    };
    void Run();

    std::vector<File> files;
    std::thread worker;
    std::mutex mutex;  // Take's own: the worker is joined before files is touched
};
