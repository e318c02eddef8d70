#include "target_file.h"

#include "system_error.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

void SetError(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
}

#ifdef _WIN32

// The folder part of a path, "." when it names no folder.
std::string FolderOf(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos) {
        // "C:name" is relative to the drive's current folder.
        return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : std::string(".");
    }
    if (slash == 0 || (slash == 2 && path[1] == ':'))
        return path.substr(0, slash + 1);
    return path.substr(0, slash);
}

// Whether an existing target can be replaced. Opening it for writing (without
// truncating) fails for a read-only file and for one that another program
// holds open without sharing writes, such as a running puzzle.
// *isDisk tells whether it is a disk file rather than a device.
bool ProbeExisting(const std::string& path, bool* exists, bool* isDisk, std::string* error)
{
    *exists = false;
    *isDisk = true;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND)
            return true;
        SetError(error, LastSystemErrorText());
        return false;
    }
    *exists = true;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        SetError(error, "it is a folder");
        return false;
    }
    // Asked directly too: a process with administrative rights may be let
    // through the open below, yet the file is not to be replaced.
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        SetLastError(ERROR_ACCESS_DENIED);
        SetError(error, LastSystemErrorText());
        return false;
    }
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (handle == INVALID_HANDLE_VALUE) {
        SetError(error, LastSystemErrorText());
        return false;
    }
    *isDisk = GetFileType(handle) == FILE_TYPE_DISK;
    CloseHandle(handle);
    return true;
}

bool CreateTemporary(TargetFile& target, std::string* error)
{
    char name[MAX_PATH];
    if (!GetTempFileNameA(FolderOf(target.finalPath).c_str(), "vnx", 0, name)) {
        SetError(error, LastSystemErrorText());
        return false;
    }
    target.file = std::fopen(name, "wb");
    if (!target.file) {
        SetError(error, RuntimeErrorText());
        DeleteFileA(name);
        return false;
    }
    target.temporaryPath = name;
    return true;
}

bool MoveOver(const std::string& from, const std::string& to, std::string* error)
{
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    SetError(error, LastSystemErrorText());
    return false;
}

void RemoveFile(const std::string& path)
{
    DeleteFileA(path.c_str());
}

#else

bool ProbeExisting(const std::string& path, bool* exists, bool* isDisk, std::string* error)
{
    *exists = false;
    *isDisk = true;
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return true;
        SetError(error, RuntimeErrorText());
        return false;
    }
    *exists = true;
    if (S_ISDIR(info.st_mode)) {
        SetError(error, "it is a folder");
        return false;
    }
    *isDisk = S_ISREG(info.st_mode);
    // Without blocking on a FIFO that has no reader.
    int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd < 0 && !(errno == ENXIO && S_ISFIFO(info.st_mode))) {
        SetError(error, RuntimeErrorText());
        return false;
    }
    if (fd >= 0)
        close(fd);
    return true;
}

// The permission bits a new file gets: those of the file it replaces, or
// what fopen would give a new file.
mode_t NewFileMode(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) == 0)
        return info.st_mode & 07777;
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool CreateTemporary(TargetFile& target, std::string* error)
{
    // A short name in the target's folder, whatever the length of the
    // target's own name.
    const size_t slash = target.finalPath.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string(".") : target.finalPath.substr(0, slash + 1);
    std::string name = folder + (slash == std::string::npos ? "/" : "") + ".vornix-XXXXXX";
    int fd = mkstemp(&name[0]);
    if (fd < 0) {
        SetError(error, RuntimeErrorText());
        return false;
    }
    fchmod(fd, NewFileMode(target.finalPath));
    target.file = fdopen(fd, "wb");
    if (!target.file) {
        SetError(error, RuntimeErrorText());
        close(fd);
        unlink(name.c_str());
        return false;
    }
    target.temporaryPath = name;
    return true;
}

bool MoveOver(const std::string& from, const std::string& to, std::string* error)
{
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return true;
    SetError(error, RuntimeErrorText());
    return false;
}

void RemoveFile(const std::string& path)
{
    unlink(path.c_str());
}

// A symbolic link is followed, so the file it names is replaced and the link
// stays.
std::string ResolveLink(const std::string& path)
{
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
    std::string result(resolved);
    std::free(resolved);
    return result;
}

#endif

}  // namespace

bool OpenTargetFile(const std::string& targetPath, TargetFile& target, std::string* error)
{
    target = TargetFile();
    if (targetPath.empty()) {
        SetError(error, "no target path");
        return false;
    }
#ifdef _WIN32
    target.finalPath = targetPath;
#else
    target.finalPath = ResolveLink(targetPath);
#endif
    bool exists = false, isDisk = true;
    if (!ProbeExisting(target.finalPath, &exists, &isDisk, error))
        return false;
    if (exists && !isDisk) {
        target.file = std::fopen(target.finalPath.c_str(), "wb");
        if (!target.file) {
            SetError(error, RuntimeErrorText());
            return false;
        }
        return true;
    }
    return CreateTemporary(target, error);
}

TargetCommitResult CommitTargetFile(TargetFile& target, std::string* error)
{
    FILE* file = target.file;
    target.file = nullptr;
    if (!file || std::fclose(file) != 0) {
        SetError(error, file ? RuntimeErrorText() : std::string("the target is not open"));
        DiscardTargetFile(target);
        return TargetCloseFailed;
    }
    if (target.temporaryPath.empty())
        return TargetCommitted;
    if (!MoveOver(target.temporaryPath, target.finalPath, error)) {
        DiscardTargetFile(target);
        return TargetMoveFailed;
    }
    target.temporaryPath.clear();
    return TargetCommitted;
}

void DiscardTargetFile(TargetFile& target)
{
    if (target.file)
        std::fclose(target.file);
    target.file = nullptr;
    if (!target.temporaryPath.empty())
        RemoveFile(target.temporaryPath);
    target.temporaryPath.clear();
}
