// Writes the seed corpus of the web page fuzz target, into the folder named
// on the command line: whole pages made from the template this tree carries,
// their settings blocks alone, and base64 texts of every length residue.
#include <stdio.h>

#include <string>
#include <vector>

#include "base64_text.h"
#include "common/test_files.h"
#include "web_page_settings.h"
#include "web_page_template.h"
#include "web_page_writer.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: seeds_web_page FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    WebPageTemplate page;
    if (!FindWebPageTemplate(&page))
        return 1;
    bool ok = true;
    const char* texts[] = {"", "Acme", "<b>&\"x\"</script>", "caf\xc3\xa9 \xf0\x9f\x98\x80", "\x01\x7f\xff"};
    for (int i = 0; i < 5; ++i) {
        WebPageSettings settings;
        settings.grid = 2 + i;
        settings.shuffle = i % 2 == 0;
        settings.winUrl = i ? "https://win.example/" + std::to_string(i) : "";
        settings.company = texts[i];
        settings.tagline = texts[4 - i];
        settings.pictureType = i % 3 == 0 ? "image/png" : i % 3 == 1 ? "image/jpeg" : "image/gif";
        settings.pictureWidth = 640;
        settings.pictureHeight = 480;
        settings.bestKey = "0123456789abcdef";
        const std::string json = ComposeWebSettings(settings);
        const std::vector<uint8_t> picture = vntest::PatternBytes(static_cast<size_t>(i) * 7 + 1, i);
        std::string text;
        ComposeWebPage(page, json, picture.data(), picture.size(), [&text](const char* t, size_t n) {
            text.append(t, n);
            return true;
        });
        const std::string n = std::to_string(i);
        ok = vntest::WriteFileBytes(folder + "/page_" + n, text.data(), text.size()) && ok;
        ok = vntest::WriteFileBytes(folder + "/settings_" + n, json.data(), json.size()) && ok;
        std::string encoded;
        Base64Encode(picture.data(), picture.size(), [&encoded](const char* t, size_t m) {
            encoded.append(t, m);
            return true;
        });
        ok = vntest::WriteFileBytes(folder + "/base64_" + n, encoded.data(), encoded.size()) && ok;
    }
    return ok ? 0 : 1;
}
