// Where "GO !" writes a typed target: beside the picture when no folder is
// typed, ".exe" added to a bare name, picture names refused.
#include <gtest/gtest.h>

#include "target_path.h"

TEST(TargetPath, TypedTargetsAndWhereTheyAreWritten)
{
    const char* const picture = "C:\\Photos\\cat.jpg";
    const struct {
        const char* typed;
        const char* path;
        bool refused;
    } rows[] = {
        // A bare name goes beside the picture, never into the program's folder.
        {"cat.exe", "C:\\Photos\\cat.exe", false},
        {"cat", "C:\\Photos\\cat.exe", false},
        {"cat.", "C:\\Photos\\cat.exe", false},
        {"my.puzzle", "C:\\Photos\\my.puzzle", false},
        {"Cat.EXE", "C:\\Photos\\Cat.EXE", false},
        {"cat.html", "C:\\Photos\\cat.html", false},
        // A folder typed is kept, relative ones too.
        {"D:\\out\\cat.exe", "D:\\out\\cat.exe", false},
        {"D:\\out\\cat", "D:\\out\\cat.exe", false},
        {"out/cat", "out/cat.exe", false},
        {"D:cat", "D:cat.exe", false},
        {"\\\\server\\share\\cat", "\\\\server\\share\\cat.exe", false},
        {"D:\\my.folder\\cat", "D:\\my.folder\\cat.exe", false},
        // Picture names, any letter case.
        {"cat.jpg", "C:\\Photos\\cat.jpg", true},
        {"D:\\out\\cat.PNG", "D:\\out\\cat.PNG", true},
        {"cat.bmp.", "C:\\Photos\\cat.bmp", true},
        {"cat.tiff", "C:\\Photos\\cat.tiff", true},
        {"cat.WebP", "C:\\Photos\\cat.WebP", true},
        {"cat.jpg.exe", "C:\\Photos\\cat.jpg.exe", false},
        // Nothing to name a file: left for the build to report.
        {"", "", false},
        {"D:\\out\\", "D:\\out\\", false},
        {"..", "..", false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        TargetPathChoice choice = ChooseTargetPath(row.typed, picture);
        EXPECT_EQ(choice.path, row.path);
        EXPECT_EQ(choice.refused, row.refused);
    }
    // A picture typed without a folder leaves a bare target where it is.
    EXPECT_EQ(ChooseTargetPath("cat", "cat.jpg").path, "cat.exe");
    EXPECT_EQ(ChooseTargetPath("cat", "").path, "cat.exe");
    EXPECT_EQ(ChooseTargetPath("cat", "/tmp/cat.jpg").path, "/tmp/cat.exe");
    // Web pages, any letter case, and the extension the dialog's filter gives.
    EXPECT_FALSE(ChooseTargetPath("Cat.HTM", picture).refused);
    EXPECT_EQ(ChooseTargetPath("Cat.HTM", picture).path, "C:\\Photos\\Cat.HTM");
    for (const char* page : {"a.html", "C:\\x\\a.HTML", "a.htm", "a.Htm"})
        EXPECT_TRUE(IsWebPageName(page)) << page;
    for (const char* other : {"a.exe", "a.html.exe", "C:\\a.html\\b", "html", "a.xhtml"})
        EXPECT_FALSE(IsWebPageName(other)) << other;
    EXPECT_EQ(WithFilterExtension("C:\\out\\page", true), "C:\\out\\page.html");
    EXPECT_EQ(WithFilterExtension("C:\\out\\page", false), "C:\\out\\page.exe");
    EXPECT_EQ(WithFilterExtension("C:\\my.out\\page.htm", false), "C:\\my.out\\page.htm");
    EXPECT_EQ(WithFilterExtension("C:\\out\\other.exe", true), "C:\\out\\other.exe");
    EXPECT_EQ(WithFilterExtension("C:\\my.out\\page", true), "C:\\my.out\\page.html");
    EXPECT_FALSE(HasPictureExtension("C:\\pictures.jpg\\cat"));
    EXPECT_TRUE(HasPictureExtension("C:\\out\\CAT.JPEG"));
}
