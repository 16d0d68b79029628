#include "app/StartLoader.h"

#include "platform/QtFontWarmUp.h"

#include <filesystem>
#include <system_error>

namespace {

// The same name for a path however it was written ("./a.s2p", "a.s2p", "/x/../a.s2p").
std::string Key(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

// The messages of one thread, kept for the window to show later.
class CKeepingSink : public CMessageSink {
public:
    explicit CKeepingSink(std::vector<std::pair<std::string, MessageIcon>>& into) : kept(into) {}
    void Show(const std::string& text, MessageIcon icon) override { kept.emplace_back(text, icon); }

private:
    std::vector<std::pair<std::string, MessageIcon>>& kept;
};

}  // namespace

CStartLoader::~CStartLoader()
{
    if (worker.joinable())
        worker.join();
}

void CStartLoader::Start(const std::vector<std::string>& paths)
{
    files.clear();
    files.reserve(paths.size());
    for (const std::string& path : paths) {
        // A large file is read by the window, which shows how far it has come.
        std::error_code ec;
        const auto size = std::filesystem::file_size(path, ec);
        if (!ec && size > READ_AHEAD_BYTES)
            continue;
        File& file = files.emplace_back();
        file.key = Key(path);
        file.data.SetFileName(path);
    }
    try {
        worker = std::thread(&CStartLoader::Run, this);
    } catch (const std::system_error&) {
        files.clear();  // the window reads them itself
    }
}

void CStartLoader::Run()
{
    // The fonts first: the window measures its captions long before it wants the data.
    WarmUpFontConfiguration();
    for (File& file : files) {
        CKeepingSink sink(file.messages);
        CMessageSink* const previous = SetThreadMessageSink(&sink);
        file.result = file.data.Load(file.data.GetFileName());
        SetThreadMessageSink(previous);
    }
}

bool CStartLoader::Take(const std::string& path, CS2pData& data, int& result,
                        std::vector<std::pair<std::string, MessageIcon>>& messages)
{
    const std::lock_guard<std::mutex> lock(mutex);
    if (worker.joinable())
        worker.join();
    const std::string key = Key(path);
    for (File& file : files) {
        if (file.taken || file.key != key)
            continue;
        file.taken = true;
        data = std::move(file.data);
        result = file.result;
        messages = std::move(file.messages);
        return true;
    }
    return false;
}
