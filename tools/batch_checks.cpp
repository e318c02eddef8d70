#include "batch_checks.h"

#include <cerrno>
#include <cstdio>
#include <unordered_map>

#include "build_puzzle.h"
#include "file_identity.h"
#include "system_error.h"
#include "vn_picture_format.h"
#include "web_page_writer.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

// How much of a picture is read for its header at first, and at most: a
// JPEG's frame header may follow large metadata blocks.
const size_t HeaderReadFirst = 64 * 1024;
const size_t HeaderReadMost = 16 * 1024 * 1024;

bool IsFolder(const std::string& path)
{
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
#else
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
#endif
}

// A file name as the file system compares names: without regard to letter
// case on Windows.
std::string ComparableName(const std::string& name)
{
#ifdef _WIN32
    const int length = MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()),
                                           NULL, 0);
    if (length <= 0)
        return name;
    std::wstring wide(length, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, name.data(), static_cast<int>(name.size()), &wide[0], length);
    CharUpperBuffW(&wide[0], static_cast<DWORD>(length));
    std::string folded;
    for (wchar_t c : wide) {
        folded += static_cast<char>(c & 0xFF);
        folded += static_cast<char>(c >> 8);
    }
    return folded;
#else
    return name;
#endif
}

// The folder a target goes into, as a path that names it ("." for none).
std::string TargetFolder(const std::string& targetPath)
{
    std::string folder = FolderOfPath(targetPath);
    if (folder.empty())
        return ".";
#ifdef _WIN32
    const bool root = folder.size() == 1 || (folder.size() == 3 && folder[1] == ':');
    if (!root && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
#else
    if (folder.size() > 1)
        folder.pop_back();
#endif
    return folder;
}

bool CheckTarget(const std::string& path, std::string* key, std::string* reason)
{
    const std::string refused = "could not create target '" + path + "': ";
    if (ExistingFileKey(path.c_str(), key)) {
        if (IsFolder(path)) {
            key->clear();
            *reason = refused + "it is a folder";
            return false;
        }
        return true;
    }
    const std::string folder = TargetFolder(path);
    std::string folderKey;
    if (!ExistingFileKey(folder.c_str(), &folderKey) || !IsFolder(folder)) {
        *reason = refused + "the folder does not exist";
        return false;
    }
    *key = folderKey + "/" + ComparableName(path.substr(FolderOfPath(path).size()));
    return true;
}

// Reads the picture's first bytes, more of them while its header is not
// whole, and asks whether they start a supported picture.
bool CheckPicture(const std::string& path, std::string* key, std::string* reason)
{
    if (IsFolder(path)) {
        *reason = "could not open picture file '" + path + "': it is a folder";
        return false;
    }
    FILE* file = OpenFileForReading(path.c_str());
    if (!file) {
        *reason = "could not open picture file '" + path + "': " + RuntimeErrorText();
        return false;
    }
    ExistingFileKey(path.c_str(), key);
    std::vector<uint8_t> head;
    const char* error = nullptr;
    bool readable = false;
    for (size_t wanted = HeaderReadFirst; !readable; wanted *= 2) {
        const size_t held = head.size();
        head.resize(wanted);
        const size_t got = std::fread(head.data() + held, 1, wanted - held, file);
        head.resize(held + got);
        if (std::ferror(file)) {
            *reason = "could not read picture file '" + path + "': " + RuntimeErrorText();
            std::fclose(file);
            return false;
        }
        VnPictureHeader header;
        readable = VnReadPictureHeader(head.data(), head.size(), &header, &error);
        if (head.size() < wanted || wanted >= HeaderReadMost)
            break;
    }
    std::fclose(file);
    if (!readable) {
        *reason = "picture is not a supported image '" + path + "': " +
                  (error ? error : "its header cannot be read");
        return false;
    }
    return true;
}

}  // namespace

bool CheckBatchRow(const std::string& picturePath, const std::string& targetPath,
                   const PackageSettings& settings, BatchRowFiles* files, std::string* reason)
{
    *files = BatchRowFiles();
    const bool pictureFine = CheckPicture(picturePath, &files->pictureKey, reason);
    std::string targetReason;
    const bool targetFine = CheckTarget(targetPath, &files->targetKey, &targetReason);
    if (!pictureFine)
        return false;
    if (!targetFine) {
        *reason = targetReason;
        return false;
    }
    if (AboutTextsHoldSeparator(settings)) {
        *reason = "the company name and web site cannot hold '|'";
        return false;
    }
    if (IsWebPageTarget(targetPath)) {
        if (const char* refused = RefuseWebPageSettings(settings)) {
            *reason = ErrorWords(refused);
            return false;
        }
    }
    return true;
}

void CheckBatchTargets(const std::vector<BatchRow>& rows, const std::vector<BatchRowFiles>& files,
                       const std::string& stubKey, std::vector<std::string>* reasons)
{
    std::vector<std::string>& reason = *reasons;
    // Every picture a row names, with the first row that names it.
    std::unordered_map<std::string, size_t> pictures;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!files[i].pictureKey.empty())
            pictures.emplace(files[i].pictureKey, i);
    }
    // The first row that writes each target, among the rows still to build.
    std::unordered_map<std::string, size_t> targets;
    std::vector<size_t> sameTargetAs(rows.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!reason[i].empty() || files[i].targetKey.empty())
            continue;
        const auto first = targets.emplace(files[i].targetKey, i);
        if (!first.second) {
            sameTargetAs[i] = first.first->second;
            if (sameTargetAs[first.first->second] == rows.size())
                sameTargetAs[first.first->second] = i;
        }
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!reason[i].empty())
            continue;
        const std::string& target = files[i].targetKey;
        const auto picture = pictures.find(target);
        if (!stubKey.empty() && target == stubKey) {
            reason[i] = "target is the stub";
        } else if (target == files[i].pictureKey) {
            reason[i] = "target is the picture file";
        } else if (picture != pictures.end()) {
            reason[i] = "target is the picture of line " + std::to_string(rows[picture->second].line);
        } else if (sameTargetAs[i] < rows.size()) {
            reason[i] = "line " + std::to_string(rows[sameTargetAs[i]].line) +
                        " writes the same target";
        }
    }
}
