#include "target_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>

#include "system_error.h"
#include "utf8_text.h"

#ifdef _WIN32
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#else
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const char ReasonFolder[] = "it is a folder";
const char ReasonPipe[] = "it is a pipe, not a file";
const char ReasonNotFile[] = "it is not a file";

// Longest name a folder entry may have (characters on Windows, bytes on
// POSIX systems), and what the temporary file's name adds to the target's.
const size_t EntryNameLimit = 255;

// How often a temporary name is tried before the build gives up: another
// file of the same name (another build's, or one left behind) only means
// another suffix.
const int TemporaryNameAttempts = 64;

void SetError(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
}

unsigned long ProcessId()
{
#ifdef _WIN32
    return GetCurrentProcessId();
#else
    return static_cast<unsigned long>(getpid());
#endif
}

// Eight hexadecimal digits that differ for every call in this process (a
// counter shared by all threads) and, through the process id and the clock,
// from those of other processes at the same time.
std::string UniqueSuffix()
{
    static std::atomic<uint32_t> sequence(0);
    const uint64_t ticks = static_cast<uint64_t>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    uint32_t value = sequence.fetch_add(1) * 0x9E3779B9u;
    value ^= static_cast<uint32_t>(ProcessId()) * 0x85EBCA6Bu;
    value ^= static_cast<uint32_t>(ticks ^ (ticks >> 32)) * 0xC2B2AE35u;
    char digits[9];
    for (int i = 7; i >= 0; --i) {
        digits[i] = "0123456789abcdef"[value & 15];
        value >>= 4;
    }
    digits[8] = '\0';
    return digits;
}

#ifdef _WIN32

// Whether an existing target can be replaced. Opening it for writing (without
// truncating) fails for a read-only file and for one that another program
// holds open without sharing writes, such as a running puzzle.
// *isDevice tells whether it is a character device rather than a disk file.
// Whether the path is in the named pipes' namespace ("\\.\pipe\..."), which
// some systems do not answer file questions about.
bool NamesAPipe(const std::string& path)
{
    return path.size() > 9 && (path[0] == '\\' || path[0] == '/') &&
           (path[1] == '\\' || path[1] == '/') && (path[2] == '.' || path[2] == '?') &&
           (path[3] == '\\' || path[3] == '/') && lstrcmpiA(path.substr(4, 4).c_str(), "pipe") == 0 &&
           (path[8] == '\\' || path[8] == '/');
}

bool ProbeExisting(const std::string& path, bool* exists, bool* isDevice, std::string* error)
{
    *exists = false;
    *isDevice = false;
    if (NamesAPipe(path)) {
        SetError(error, ReasonPipe);
        return false;
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND)
            return true;
        SetError(error, LastCreateErrorReason());
        return false;
    }
    *exists = true;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        SetError(error, ReasonFolder);
        return false;
    }
    // Asked directly too: a process with administrative rights may be let
    // through the open below, yet the file is not to be replaced.
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        SetLastError(ERROR_ACCESS_DENIED);
        SetError(error, LastCreateErrorReason());
        return false;
    }
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (handle == INVALID_HANDLE_VALUE) {
        SetError(error, LastCreateErrorReason());
        return false;
    }
    const DWORD type = GetFileType(handle);
    CloseHandle(handle);
    if (type == FILE_TYPE_CHAR) {
        *isDevice = true;
    } else if (type != FILE_TYPE_DISK) {
        SetError(error, type == FILE_TYPE_PIPE ? ReasonPipe : ReasonNotFile);
        return false;
    }
    return true;
}

// The path as the "A" calls read it: in the process's code page.
std::wstring Widen(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           NULL, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], length);
    return wide;
}

// The full path of a file, in its long form ("\\?\C:\..." or, for a share,
// "\\?\UNC\server\share\...") when it is longer than MAX_PATH allows a
// plain path to be.
// Empty when the path cannot be made full.
std::wstring FullPath(const std::string& path)
{
    const std::wstring wide = Widen(path);
    if (wide.empty())
        return std::wstring();
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, NULL, NULL);
    if (needed == 0)
        return std::wstring();
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), needed, &full[0], NULL);
    if (length == 0 || length >= needed)
        return std::wstring();
    full.resize(length);
    if (full.size() < MAX_PATH || full.compare(0, 4, L"\\\\?\\") == 0 ||
        full.compare(0, 4, L"\\\\.\\") == 0)
        return full;
    if (full.compare(0, 2, L"\\\\") == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

bool CreateTemporary(TargetFile& target, std::string* error)
{
    const std::wstring full = FullPath(target.finalPath);
    const size_t slash = full.find_last_of(L'\\');
    if (full.empty() || slash == std::wstring::npos || slash + 1 >= full.size()) {
        SetError(error, "the name is not valid");
        return false;
    }
    const std::wstring folder = full.substr(0, slash + 1);
    std::wstring name = full.substr(slash + 1);
    // ".<8 digits>.tmp"
    const size_t added = 13;
    if (name.size() > EntryNameLimit - added) {
        size_t keep = EntryNameLimit - added;
        if (name[keep - 1] >= 0xD800 && name[keep - 1] <= 0xDBFF)
            --keep;  // never half of a surrogate pair
        name.resize(keep);
    }
    for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
        std::wstring path = folder + name + L"." + Widen(UniqueSuffix()) + L".tmp";
        if (path.size() >= MAX_PATH && path.compare(0, 4, L"\\\\?\\") != 0)
            path = (path.compare(0, 2, L"\\\\") == 0 ? L"\\\\?\\UNC\\" + path.substr(2)
                                                      : L"\\\\?\\" + path);
        HANDLE handle = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, NULL, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, NULL);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD code = GetLastError();
            if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS)
                continue;
            SetError(error, LastCreateErrorReason());
            return false;
        }
        const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY | _O_WRONLY);
        if (descriptor < 0) {
            SetError(error, RuntimeErrorText());
            CloseHandle(handle);
            DeleteFileW(path.c_str());
            return false;
        }
        target.file = _fdopen(descriptor, "wb");
        if (!target.file) {
            SetError(error, RuntimeErrorText());
            _close(descriptor);
            DeleteFileW(path.c_str());
            return false;
        }
        target.temporaryPath = path;
        return true;
    }
    SetError(error, "no free name for a temporary file");
    return false;
}

bool MoveOver(const std::wstring& from, const std::string& to, std::string* error)
{
    const std::wstring destination = FullPath(to);
    if (!destination.empty() &&
        MoveFileExW(from.c_str(), destination.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    SetError(error, destination.empty() ? std::string("the name is not valid") : LastCreateErrorReason());
    return false;
}

void RemoveFile(const std::wstring& path)
{
    DeleteFileW(path.c_str());
}

#else

bool ProbeExisting(const std::string& path, bool* exists, bool* isDevice, std::string* error)
{
    *exists = false;
    *isDevice = false;
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT)
            return true;
        SetError(error, CreateErrorReason(errno));
        return false;
    }
    *exists = true;
    if (S_ISDIR(info.st_mode)) {
        SetError(error, ReasonFolder);
        return false;
    }
    // Only a plain file is replaced and only a character device written
    // into; opening a pipe for writing waits for a reader that may never come.
    if (!S_ISREG(info.st_mode) && !S_ISCHR(info.st_mode)) {
        SetError(error, S_ISFIFO(info.st_mode) ? ReasonPipe : ReasonNotFile);
        return false;
    }
    *isDevice = S_ISCHR(info.st_mode);
    int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd < 0) {
        SetError(error, CreateErrorReason(errno));
        return false;
    }
    close(fd);
    return true;
}

bool CreateTemporary(TargetFile& target, std::string* error)
{
    const size_t slash = target.finalPath.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : target.finalPath.substr(0, slash + 1);
    const std::string name =
        slash == std::string::npos ? target.finalPath : target.finalPath.substr(slash + 1);
    // "." in front, ".<8 digits>.tmp" after.
    const size_t added = 14;
    const std::string stem = folder + "." + Utf8Cut(name, EntryNameLimit - added) + ".";
    std::string path;
    int fd = -1;
    for (int attempt = 0; attempt < TemporaryNameAttempts && fd < 0; ++attempt) {
        path = stem + UniqueSuffix() + ".tmp";
        // A new file gets what fopen would give it (0666 less the umask).
        fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd < 0 && errno != EEXIST) {
            SetError(error, CreateErrorReason(errno));
            return false;
        }
    }
    if (fd < 0) {
        SetError(error, "no free name for a temporary file");
        return false;
    }
    // One that replaces a file keeps that file's permissions.
    struct stat existing;
    if (stat(target.finalPath.c_str(), &existing) == 0)
        fchmod(fd, existing.st_mode & 07777);
    target.file = fdopen(fd, "wb");
    if (!target.file) {
        SetError(error, RuntimeErrorText());
        close(fd);
        unlink(path.c_str());
        return false;
    }
    target.temporaryPath = path;
    return true;
}

bool MoveOver(const std::string& from, const std::string& to, std::string* error)
{
    if (std::rename(from.c_str(), to.c_str()) == 0)
        return true;
    SetError(error, CreateErrorReason(errno));
    return false;
}

void RemoveFile(const std::string& path)
{
    unlink(path.c_str());
}

// A symbolic link is followed, link by link, to the name it ends in, whether
// that file exists or not: the file is replaced or created there and the
// links stay. Links that form a loop are left for the open to report.
std::string ResolveLink(const std::string& path)
{
    std::string current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info;
        if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        // The link's text, however long (st_size may be 0 for some file systems).
        std::string text(info.st_size > 0 ? static_cast<size_t>(info.st_size) + 1 : 256, '\0');
        ssize_t length;
        while ((length = readlink(current.c_str(), &text[0], text.size())) >= 0 &&
               static_cast<size_t>(length) >= text.size() && text.size() < 65536)
            text.resize(text.size() * 2);
        if (length <= 0 || static_cast<size_t>(length) >= text.size())
            return current;
        text.resize(static_cast<size_t>(length));
        if (text[0] != '/') {
            const size_t slash = current.rfind('/');
            if (slash != std::string::npos)
                text = current.substr(0, slash + 1) + text;
        }
        current = text;
    }
    return current;
}

#endif

}  // namespace

bool OpenTargetFile(const std::string& targetPath, TargetFile& target, std::string* error)
{
    target = TargetFile();
    if (targetPath.empty()) {
        SetError(error, "no target path given");
        return false;
    }
#ifdef _WIN32
    target.finalPath = targetPath;
#else
    target.finalPath = ResolveLink(targetPath);
#endif
    bool exists = false, isDevice = false;
    if (!ProbeExisting(target.finalPath, &exists, &isDevice, error))
        return false;
    if (exists && isDevice) {
        target.file = std::fopen(target.finalPath.c_str(), "wb");
        if (!target.file) {
            SetError(error, CreateErrorReason(errno));
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
