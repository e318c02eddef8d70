#include "target_path.h"

#include <cctype>
#include <cstring>

namespace {

// Extensions of the picture formats people pass around, the ones the
// builder reads and the ones it does not.
const char* const PictureExtensions[] = {
    "bmp", "dib", "rle", "png", "jpg", "jpeg", "jpe", "jfif", "gif", "tif", "tiff",
    "webp", "heic", "heif", "avif", "ico", "svg",
};

// Length of the folder part, separator included (0: none).
std::string::size_type FolderLength(const std::string& path)
{
    std::string::size_type slash = path.find_last_of("\\/");
    if (slash != std::string::npos)
        return slash + 1;
    // "C:name" names a file in the current folder of drive C.
    if (path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0])))
        return 2;
    return 0;
}

bool SameLetters(const std::string& a, const char* b)
{
    if (a.size() != std::strlen(b))
        return false;
    for (std::string::size_type i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != b[i])
            return false;
    return true;
}

// The extension of the name (after its last dot), empty when it has none.
std::string Extension(const std::string& name)
{
    std::string::size_type dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

}  // namespace

bool HasPictureExtension(const std::string& name)
{
    const std::string extension = Extension(name.substr(FolderLength(name)));
    for (const char* picture : PictureExtensions)
        if (SameLetters(extension, picture))
            return true;
    return false;
}

TargetPathChoice ChooseTargetPath(const std::string& typed, const std::string& picture)
{
    TargetPathChoice choice;
    choice.path = typed;
    const std::string::size_type folder = FolderLength(typed);
    std::string name = typed.substr(folder);
    if (name.empty())
        return choice;  // a folder, or nothing: the build says it cannot be written
    // The system drops dots at the end of a name: "cat." would be "cat".
    std::string::size_type dots = 0;
    while (dots < name.size() && name[name.size() - 1 - dots] == '.')
        ++dots;
    if (dots == name.size())
        return choice;  // "." or "..": folders, which the build cannot write
    name.resize(name.size() - dots);
    choice.path = (folder == 0 ? picture.substr(0, FolderLength(picture)) : typed.substr(0, folder)) + name;
    if (name.find('.') == std::string::npos) {
        choice.path += ".exe";
        return choice;
    }
    choice.refused = HasPictureExtension(name);
    return choice;
}

bool IsWebPageName(const std::string& name)
{
    const std::string extension = Extension(name.substr(FolderLength(name)));
    return SameLetters(extension, "html") || SameLetters(extension, "htm");
}

std::string WithFilterExtension(const std::string& path, bool webPage)
{
    const std::string name = path.substr(FolderLength(path));
    if (name.empty() || name.find('.') != std::string::npos)
        return path;
    return path + (webPage ? ".html" : ".exe");
}
