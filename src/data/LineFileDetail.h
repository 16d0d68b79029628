// What the reading and the writing side of line files share.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace LineFileDetail {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Shows phrase and the escaped path, unless quietFileErrors is set.
void Report(const char* phrase, const std::string& path);

}  // namespace LineFileDetail
