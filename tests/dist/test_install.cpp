// The installer under Wine: msiexec installs the product per machine into
// Program Files\Vornix SDK with a Start-menu shortcut and an uninstall entry;
// the builder started as the shortcut starts it makes a puzzle with "GO !"
// without a path typed for the player; msiexec /x leaves nothing behind; a
// second install of the same version and an install over an older version
// leave one uninstall entry. The MSIs are the ones make-dist wrote for the
// tests (the older one is the same files under the version VN_DIST_OLDER).
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <string>
#include <vector>

#include "dist_test_util.h"
#include "package_reader.h"
#include "vornix_version.h"

namespace {

using disttest::Patience;

const char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char* const InstalledFiles[] = {"vornix.exe", "vornix_distrib.exe", "vornixpack.exe",
                                      "README.txt", "LICENSE.txt"};

std::string CurrentMsi()
{
    return disttest::DistPath("current\\vornix-sdk-" VORNIX_VERSION_STRING "-win32.msi");
}

std::string OlderMsi()
{
    return disttest::DistPath("older\\vornix-sdk-" VN_DIST_OLDER "-win32.msi");
}

DWORD Msiexec(const char* action, const std::string& msi)
{
    return disttest::Run(std::string("msiexec.exe ") + action + " \"" + msi + "\" /qn", 3 * Patience);
}

std::string FolderPath(int csidl)
{
    char path[MAX_PATH] = "";
    if (FAILED(SHGetFolderPathA(NULL, csidl, NULL, SHGFP_TYPE_CURRENT, path)))
        return std::string();
    return path;
}

std::string InstallFolder()
{
    return FolderPath(CSIDL_PROGRAM_FILES) + "\\Vornix SDK";
}

// The same folder, however written: no trailing separator, any case.
bool SameFolder(std::string a, std::string b)
{
    while (!a.empty() && a.back() == '\\')
        a.pop_back();
    while (!b.empty() && b.back() == '\\')
        b.pop_back();
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The Start-menu shortcut: the all-users Programs folder of a per-machine
// install, or (where Wine's installer puts it) the user's Programs folder.
std::string ShortcutPath()
{
    for (int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) {
        std::string path = FolderPath(csidl) + "\\Vornix SDK.lnk";
        if (Exists(path))
            return path;
    }
    return std::string();
}

struct Shortcut {
    bool read = false;
    std::string target;
    std::string workingFolder;
};

Shortcut ReadShortcut(const std::string& path)
{
    Shortcut shortcut;
    IShellLinkA* link = NULL;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                (void**)&link)))
        return shortcut;
    IPersistFile* file = NULL;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file))) {
        std::wstring wide(path.begin(), path.end());
        char text[MAX_PATH] = "";
        if (SUCCEEDED(file->Load(wide.c_str(), STGM_READ))) {
            shortcut.read = true;
            if (SUCCEEDED(link->GetPath(text, sizeof text, NULL, 0)))
                shortcut.target = text;
            text[0] = '\0';
            if (SUCCEEDED(link->GetWorkingDirectory(text, sizeof text)))
                shortcut.workingFolder = text;
        }
        file->Release();
    }
    link->Release();
    return shortcut;
}

std::string RegistryText(HKEY key, const char* name)
{
    char value[512] = "";
    DWORD size = sizeof value - 1, type = 0;
    if (RegQueryValueExA(key, name, NULL, &type, (BYTE*)value, &size) != ERROR_SUCCESS || type != REG_SZ)
        return std::string();
    value[size] = '\0';
    return value;
}

struct UninstallEntry {
    std::string version;
    std::string publisher;
};

// The uninstall entries named "Vornix SDK".
std::vector<UninstallEntry> UninstallEntries()
{
    std::vector<UninstallEntry> entries;
    HKEY root;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_READ, &root) != ERROR_SUCCESS)
        return entries;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(root, i, name, &length, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        HKEY entry;
        if (RegOpenKeyExA(root, name, 0, KEY_READ, &entry) != ERROR_SUCCESS)
            continue;
        if (RegistryText(entry, "DisplayName") == "Vornix SDK")
            entries.push_back({RegistryText(entry, "DisplayVersion"), RegistryText(entry, "Publisher")});
        RegCloseKey(entry);
    }
    RegCloseKey(root);
    return entries;
}

class Installer : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(NULL)));
        ASSERT_TRUE(Exists(CurrentMsi())) << CurrentMsi();
        ASSERT_TRUE(Exists(OlderMsi())) << OlderMsi();
        // Nothing of an earlier, interrupted run.
        Msiexec("/x", CurrentMsi());
        Msiexec("/x", OlderMsi());
        ASSERT_EQ(0u, UninstallEntries().size());
        ASSERT_FALSE(Exists(InstallFolder()));
    }

    void TearDown() override
    {
        Msiexec("/x", CurrentMsi());
        Msiexec("/x", OlderMsi());
        CoUninitialize();
    }
};

TEST_F(Installer, InstallsFilesShortcutAndEntryAndUninstallRemovesThemAll)
{
    ASSERT_EQ(0u, Msiexec("/i", CurrentMsi()));

    const std::string folder = InstallFolder();
    for (const char* name : InstalledFiles)
        EXPECT_TRUE(Exists(folder + "\\" + name)) << name;
    EXPECT_EQ(vntest::ReadFileBytes(folder + "\\vornix_distrib.exe"),
              vntest::ReadFileBytes(std::string(VN_WIN_BIN_DIR) + "\\vornix_distrib.exe"));

    const std::string shortcutPath = ShortcutPath();
    ASSERT_FALSE(shortcutPath.empty());
    Shortcut shortcut = ReadShortcut(shortcutPath);
    ASSERT_TRUE(shortcut.read);
    EXPECT_EQ(0, lstrcmpiA(shortcut.target.c_str(), (folder + "\\vornix.exe").c_str())) << shortcut.target;
    EXPECT_TRUE(SameFolder(shortcut.workingFolder, folder)) << shortcut.workingFolder;

    std::vector<UninstallEntry> entries = UninstallEntries();
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(VORNIX_VERSION_STRING, entries[0].version);
    EXPECT_EQ("Vornix", entries[0].publisher);

    ASSERT_EQ(0u, Msiexec("/x", CurrentMsi()));
    for (const char* name : InstalledFiles)
        EXPECT_FALSE(Exists(folder + "\\" + name)) << name;
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(Exists(shortcutPath));
    EXPECT_EQ(0u, UninstallEntries().size());
    HKEY key;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Vornix", 0, KEY_READ, &key));
}

TEST_F(Installer, SameVersionAgainAndNewerOverOlderLeaveOneEntry)
{
    ASSERT_EQ(0u, Msiexec("/i", OlderMsi()));
    std::vector<UninstallEntry> entries = UninstallEntries();
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(VN_DIST_OLDER, entries[0].version);

    ASSERT_EQ(0u, Msiexec("/i", CurrentMsi()));
    entries = UninstallEntries();
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ(VORNIX_VERSION_STRING, entries[0].version);

    ASSERT_EQ(0u, Msiexec("/i", CurrentMsi()));
    EXPECT_EQ(1u, UninstallEntries().size());
    for (const char* name : InstalledFiles)
        EXPECT_TRUE(Exists(InstallFolder() + "\\" + name)) << name;

    ASSERT_EQ(0u, Msiexec("/x", CurrentMsi()));
    EXPECT_EQ(0u, UninstallEntries().size());
    EXPECT_FALSE(Exists(InstallFolder()));
}

// The installed builder, started in the folder the shortcut names (or, where
// another folder is current, still beside its own player stub), fills in
// only the picture and the target and presses "GO !".
class InstalledBuilder : public Installer, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        Installer::SetUp();
        char temp[MAX_PATH];
        ASSERT_NE(0u, GetTempPathA(sizeof temp, temp));
        scratch = std::string(temp) + "vn_dist_install_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(scratch.c_str(), NULL);
        ASSERT_TRUE(vntest::WriteFileBytes(scratch + "\\picture.bmp", disttest::BlockPicture(90)));
    }

    void TearDown() override
    {
        for (const char* name : {"picture.bmp", "puzzle.exe"})
            DeleteFileA((scratch + "\\" + name).c_str());
        RemoveDirectoryA(scratch.c_str());
        Installer::TearDown();
    }

    std::string scratch;
};

TEST_P(InstalledBuilder, BuildsAPuzzleWithGoWithoutAPathForThePlayer)
{
    ASSERT_EQ(0u, Msiexec("/i", CurrentMsi()));
    Shortcut shortcut = ReadShortcut(ShortcutPath());
    ASSERT_TRUE(shortcut.read);
    const bool fromShortcutFolder = GetParam();
    const std::string startFolder = fromShortcutFolder ? shortcut.workingFolder : scratch;

    disttest::Process builder("\"" + shortcut.target + "\"", startFolder);
    ASSERT_TRUE(builder.started) << shortcut.target;
    HWND window = vntest::WaitForTopWindow("VORNIXS", NULL, builder.Id(), Patience);
    ASSERT_TRUE(window != NULL);

    // The form's edit controls in creation order: the picture first, the
    // target last; the grid size by its identifier (103), as the builder
    // refuses a grid below 2.
    std::vector<HWND> edits = disttest::ChildrenOfClass(window, "Edit");
    ASSERT_GE(edits.size(), 2u);
    const std::string picture = scratch + "\\picture.bmp";
    const std::string puzzle = scratch + "\\puzzle.exe";
    SendMessageA(edits.front(), WM_SETTEXT, 0, (LPARAM)picture.c_str());
    HWND grid = GetDlgItem(window, 103);
    ASSERT_TRUE(grid != NULL);
    SendMessageA(grid, WM_SETTEXT, 0, (LPARAM) "3");
    SendMessageA(edits.back(), WM_SETTEXT, 0, (LPARAM)puzzle.c_str());
    std::vector<HWND> statics = disttest::ChildrenOfClass(window, "Static");
    HWND status = NULL;
    for (HWND s : statics)
        if (disttest::RemoteText(s) == "Idle")
            status = s;
    ASSERT_TRUE(status != NULL);
    HWND go = NULL;
    for (HWND b : disttest::ChildrenOfClass(window, "Button"))
        if (disttest::RemoteText(b) == "GO !")
            go = b;
    ASSERT_TRUE(go != NULL);
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(go), BN_CLICKED), (LPARAM)go);
    EXPECT_EQ("Done.\r\n" + puzzle, disttest::RemoteText(status));  // the path written on the second line

    PackageContents contents;
    EXPECT_EQ(PackageOk, ReadPackageFile(puzzle.c_str(), contents)) << (contents.failure ? contents.failure : "");
    EXPECT_EQ(vntest::ReadFileBytes(picture), contents.picture);

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(0u, builder.WaitForExit());
}

INSTANTIATE_TEST_SUITE_P(StartedIn, InstalledBuilder, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "TheShortcutsFolder" : "AnotherFolder");
                         });

}  // namespace
