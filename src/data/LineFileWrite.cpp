// The writing side of line files: plain and atomic writes (a part of LineFile).
#include "data/LineFile.h"

#include "data/LineFileDetail.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

using LineFileDetail::FilePtr;
using LineFileDetail::Report;

int WriteLines(const std::string& path, const LineList& lines, bool append)
{
    FilePtr file(std::fopen(path.c_str(), append ? "ab" : "wb"));
    if (!file) {
        Report("Cannot open file for writing: ", path);
        return FILE_CANNOT_OPEN;
    }
    bool ok = true;
    for (const std::string& line : lines) {
        if (std::fwrite(line.data(), 1, line.size(), file.get()) != line.size()
            || std::fputc('\n', file.get()) == EOF) {
            ok = false;
            break;
        }
    }
    // A full disk often shows only when the buffer is flushed.
    if (std::fflush(file.get()) != 0)
        ok = false;
    if (std::fclose(file.release()) != 0)
        ok = false;
    if (!ok) {
        Report("Problem writing file: ", path);
        return FILE_WRITE_ERROR;
    }
    return FILE_OK;
}

namespace {

// Writes the chunks fill hands over into a file as they stand; 0, 101, 103, or
// FILE_WRITE_ABANDONED when fill gives up (nothing reported then).
int WriteChunks(const std::string& path, const ChunkFill& fill)
{
    FilePtr file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        Report("Cannot open file for writing: ", path);
        return FILE_CANNOT_OPEN;
    }
    bool ok = true;
    const bool filled = fill([&](std::string_view chunk) {
        ok = ok && std::fwrite(chunk.data(), 1, chunk.size(), file.get()) == chunk.size();
        return ok;
    });
    if (std::fflush(file.get()) != 0)
        ok = false;
    if (std::fclose(file.release()) != 0)
        ok = false;
    if (ok && !filled)
        return FILE_WRITE_ABANDONED;
    if (!ok) {
        Report("Problem writing file: ", path);
        return FILE_WRITE_ERROR;
    }
    return FILE_OK;
}

// Writes a file through a temporary one in the same folder (write fills it) that replaces
// path only once it is complete.
template <typename Write>
int ReplaceAtomically(const std::string& path, Write write)
{
    // Replace the file a link points to, not the link, and keep what the file was like:
    // its permissions, and that a read-only file is not written.
    std::string target = path;
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        const std::filesystem::path real = std::filesystem::canonical(path, ec);
        if (ec) {
            // A link to nothing: writing there would put a file in the link's place.
            Report("The link leads to no file, nothing written: ", path);
            return FILE_CANNOT_OPEN;
        }
        target = real.string();
    }
    struct stat st {};
    const bool exists = stat(target.c_str(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        // A device, FIFO or folder is never replaced by a file.
        Report("Not a regular file, nothing written: ", path);
        return FILE_CANNOT_OPEN;
    }
    if (exists && access(target.c_str(), W_OK) != 0) {
        Report("Cannot open file for writing: ", path);
        return FILE_CANNOT_OPEN;
    }
    std::string temp = target + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        Report("Cannot open file for writing: ", path);
        return FILE_CANNOT_OPEN;
    }
    mode_t mode = st.st_mode & 07777;
    if (!exists) {
        // A new file gets the permissions a plainly created one would have.
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    fchmod(fd, mode);
    close(fd);
    const bool wasQuiet = quietFileErrors;
    quietFileErrors = true;  // failures are reported under the real name below
    int rc = write(temp);
    quietFileErrors = wasQuiet;
    if (rc == FILE_OK && std::rename(temp.c_str(), target.c_str()) != 0)
        rc = FILE_WRITE_ERROR;
    if (rc != FILE_OK) {
        std::remove(temp.c_str());
        if (rc != FILE_WRITE_ABANDONED)
            Report(rc == FILE_CANNOT_OPEN ? "Cannot open file for writing: "
                                          : "Problem writing file: ",
                   path);
    }
    return rc;
}

}  // namespace

int WriteLinesAtomic(const std::string& path, const LineList& lines)
{
    return ReplaceAtomically(
        path, [&lines](const std::string& temp) { return WriteLines(temp, lines, false); });
}

int WriteChunksAtomic(const std::string& path, const ChunkFill& fill)
{
    return ReplaceAtomically(path,
                             [&fill](const std::string& temp) { return WriteChunks(temp, fill); });
}
