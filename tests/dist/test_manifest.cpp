// The three programs as shipped: each carries the manifest made from the one
// manifest source as resource 1 of type RT_MANIFEST, with the settings that
// set its code page, DPI awareness, visual styles, supported systems and
// execution level, and a version record with the product's one version.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "vornix_version.h"
#include "win_test_util.h"

namespace {

std::string ProgramPath(const char* name)
{
    return std::string(VN_WIN_BIN_DIR) + "/" + name;
}

// Resource 1 of type RT_MANIFEST of a program, read as a data file (nothing
// in it runs). Empty when the program or the resource is missing.
std::string EmbeddedManifest(const std::string& path)
{
    HMODULE module = LoadLibraryExA(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return std::string();
    std::string text;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    if (found) {
        HGLOBAL loaded = LoadResource(module, found);
        const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : NULL;
        if (bytes)
            text.assign(bytes, SizeofResource(module, found));
    }
    FreeLibrary(module);
    return text;
}

bool Has(const std::string& text, const char* part)
{
    return text.find(part) != std::string::npos;
}

// The element <name ...>value</name> anywhere in the manifest, or "" when absent.
std::string ElementValue(const std::string& text, const char* name)
{
    size_t open = text.find(std::string("<") + name);
    if (open == std::string::npos)
        return std::string();
    size_t start = text.find('>', open);
    size_t end = text.find(std::string("</") + name + ">", open);
    if (start == std::string::npos || end == std::string::npos || end < start)
        return std::string();
    return text.substr(start + 1, end - start - 1);
}

const char* const SupportedSystems[] = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // Windows 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // Windows 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
};

void ExpectCommonSettings(const std::string& manifest)
{
    EXPECT_EQ(ElementValue(manifest, "activeCodePage"), "UTF-8");
    EXPECT_TRUE(Has(manifest, "<requestedExecutionLevel level=\"asInvoker\""));
    for (const char* id : SupportedSystems)
        EXPECT_TRUE(Has(manifest, (std::string("<supportedOS Id=\"") + id + "\"").c_str())) << id;
    EXPECT_TRUE(Has(manifest, "version=\"" VORNIX_VERSION_STRING ".0\""));
}

class WindowProgramManifest : public ::testing::TestWithParam<const char*> {};

TEST_P(WindowProgramManifest, AsksForUtf8HighDpiAndVisualStyles)
{
    std::string manifest = EmbeddedManifest(ProgramPath(GetParam()));
    ASSERT_FALSE(manifest.empty()) << GetParam();
    ExpectCommonSettings(manifest);
    EXPECT_EQ(ElementValue(manifest, "dpiAware"), "true/pm");
    EXPECT_EQ(ElementValue(manifest, "dpiAwareness"), "PerMonitorV2");
    EXPECT_TRUE(Has(manifest, "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""));
}

INSTANTIATE_TEST_SUITE_P(Programs, WindowProgramManifest,
                         ::testing::Values("vornix.exe", "vornix_distrib.exe"));

TEST(ConsoleProgramManifest, AsksForUtf8OnlyWithoutWindowSettings)
{
    std::string manifest = EmbeddedManifest(ProgramPath("vornixpack.exe"));
    ASSERT_FALSE(manifest.empty());
    ExpectCommonSettings(manifest);
    EXPECT_FALSE(Has(manifest, "dpiAware"));
    EXPECT_FALSE(Has(manifest, "Common-Controls"));
}

// The probe embeds the same generated manifest file as the two window
// programs; byte equality carries what it sees over to them.
TEST(ActiveCodePage, WindowProgramsRunWithUtf8)
{
    std::string probe = std::string(VN_WIN_TEST_BIN_DIR) + "/vn_acp_probe.exe";
    std::string probeManifest = EmbeddedManifest(probe);
    ASSERT_FALSE(probeManifest.empty());
    EXPECT_EQ(EmbeddedManifest(ProgramPath("vornix.exe")), probeManifest);
    EXPECT_EQ(EmbeddedManifest(ProgramPath("vornix_distrib.exe")), probeManifest);

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::vector<char> line(probe.begin(), probe.end());
    line.push_back('\0');
    ASSERT_TRUE(CreateProcessA(probe.c_str(), line.data(), NULL, NULL, FALSE, 0, NULL, NULL,
                               &startup, &process));
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    EXPECT_EQ(exitCode, 65001u);
}

// Every program's version record shows the one version number.
class ProgramVersion : public ::testing::TestWithParam<const char*> {};

std::string VersionString(std::vector<char>& record, const char* name)
{
    char* value = NULL;
    UINT length = 0;
    std::string query = std::string("\\StringFileInfo\\040904E4\\") + name;
    if (!VerQueryValueA(record.data(), query.c_str(), (void**)&value, &length) || !value)
        return std::string();
    return std::string(value);
}

TEST_P(ProgramVersion, RecordHoldsTheProductVersion)
{
    std::string path = ProgramPath(GetParam());
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    ASSERT_GT(size, 0u) << path;
    std::vector<char> record(size);
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, record.data()));
    VS_FIXEDFILEINFO* fixed = NULL;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(record.data(), "\\", (void**)&fixed, &length));
    ASSERT_NE(fixed, nullptr);
    const DWORD high = (VORNIX_VERSION_MAJOR << 16) | VORNIX_VERSION_MINOR;
    const DWORD low = VORNIX_VERSION_PATCH << 16;
    EXPECT_EQ(fixed->dwFileVersionMS, high);
    EXPECT_EQ(fixed->dwFileVersionLS, low);
    EXPECT_EQ(fixed->dwProductVersionMS, high);
    EXPECT_EQ(fixed->dwProductVersionLS, low);
    EXPECT_EQ(VersionString(record, "FileVersion"), VORNIX_VERSION_STRING);
    EXPECT_EQ(VersionString(record, "ProductVersion"), VORNIX_VERSION_STRING);
    EXPECT_EQ(VersionString(record, "ProductName"), "Vornix SDK");
    EXPECT_EQ(VersionString(record, "OriginalFilename"), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Programs, ProgramVersion,
                         ::testing::Values("vornix.exe", "vornix_distrib.exe", "vornixpack.exe"));

}  // namespace
