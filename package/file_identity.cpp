#include "file_identity.h"

#include <cerrno>

#ifdef _WIN32
#include <windows.h>
#include <io.h>
#else
#include <sys/stat.h>
#endif

#ifdef _WIN32

namespace {

// Volume serial number and file index of an existing file or folder.
bool FileIdentity(const char* path, BY_HANDLE_FILE_INFORMATION* info)
{
    HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (handle == INVALID_HANDLE_VALUE)
        return false;
    BOOL ok = GetFileInformationByHandle(handle, info);
    CloseHandle(handle);
    return ok != 0;
}

}  // namespace

bool SameExistingFile(const char* pathA, const char* pathB)
{
    if (!pathA || !pathB || !*pathA || !*pathB)
        return false;
    BY_HANDLE_FILE_INFORMATION a, b;
    if (!FileIdentity(pathA, &a) || !FileIdentity(pathB, &b))
        return false;
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
}

bool ExistingFileKey(const char* path, std::string* key)
{
    BY_HANDLE_FILE_INFORMATION info;
    if (!path || !*path || !FileIdentity(path, &info))
        return false;
    *key = std::to_string(info.dwVolumeSerialNumber) + ":" + std::to_string(info.nFileIndexHigh) +
           ":" + std::to_string(info.nFileIndexLow);
    return true;
}

FILE* OpenFileForReading(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        errno = EISDIR;
        return nullptr;
    }
    return std::fopen(path, "rb");
}

bool IsPlainFile(FILE* file)
{
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    return handle != INVALID_HANDLE_VALUE && GetFileType(handle) == FILE_TYPE_DISK;
}

#else

bool SameExistingFile(const char* pathA, const char* pathB)
{
    if (!pathA || !pathB || !*pathA || !*pathB)
        return false;
    struct stat a, b;
    if (stat(pathA, &a) != 0 || stat(pathB, &b) != 0)
        return false;
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool ExistingFileKey(const char* path, std::string* key)
{
    struct stat info;
    if (!path || !*path || stat(path, &info) != 0)
        return false;
    *key = std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino);
    return true;
}

FILE* OpenFileForReading(const char* path)
{
    FILE* file = std::fopen(path, "rb");
    struct stat info;
    if (file && fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::fclose(file);
        errno = EISDIR;
        return nullptr;
    }
    return file;
}

bool IsPlainFile(FILE* file)
{
    struct stat info;
    return fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
}

#endif
