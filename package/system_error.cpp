#include "system_error.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

const char FolderMissing[] = "the folder does not exist";
const char AccessDenied[] = "access is denied";
const char FileInUse[] = "the file is in use";
const char NameNotValid[] = "the name is not valid";
const char NameTooLong[] = "the name is too long";
const char DiskFull[] = "the disk is full";
const char DiskReadOnly[] = "the disk is read-only";

std::string ErrnoText(int code)
{
    return code ? std::string(std::strerror(code)) : std::string("unknown error");
}

}  // namespace

std::string RuntimeErrorText()
{
    return ErrnoText(errno);
}

std::string CreateErrorReason(int code)
{
    switch (code) {
    case ENOENT:
    case ENOTDIR:
        return FolderMissing;
    case EACCES:
    case EPERM:
        return AccessDenied;
    case EBUSY:
#ifdef ETXTBSY
    case ETXTBSY:
#endif
        return FileInUse;
    case EINVAL:
    case EILSEQ:
        return NameNotValid;
    case ENAMETOOLONG:
        return NameTooLong;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return DiskFull;
    case EROFS:
        return DiskReadOnly;
    case EISDIR:
        return "it is a folder";
#ifdef ELOOP
    case ELOOP:
        return "its symbolic links form a loop";
#endif
    default:
        return ErrnoText(code);
    }
}

#ifdef _WIN32
std::string LastSystemErrorText()
{
    const DWORD code = GetLastError();
    char text[512] = {0};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                                  code, 0, text, sizeof text, NULL);
    // The system's texts end with a full stop and a line break.
    while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r' ||
                          text[length - 1] == ' ' || text[length - 1] == '.'))
        --length;
    if (length == 0)
        return "error " + std::to_string(static_cast<unsigned long>(code));
    return std::string(text, length);
}

std::string LastCreateErrorReason()
{
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:  // some systems say so of a missing folder
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
        return FolderMissing;
    case ERROR_ACCESS_DENIED:
    case ERROR_NETWORK_ACCESS_DENIED:
    case ERROR_PRIVILEGE_NOT_HELD:
        return AccessDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_USER_MAPPED_FILE:
        return FileInUse;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
        return NameNotValid;
    case ERROR_FILENAME_EXCED_RANGE:
        return NameTooLong;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return DiskFull;
    case ERROR_WRITE_PROTECT:
        return DiskReadOnly;
    default:
        return LastSystemErrorText();
    }
}
#else
std::string LastSystemErrorText()
{
    return RuntimeErrorText();
}

std::string LastCreateErrorReason()
{
    return CreateErrorReason(errno);
}
#endif
