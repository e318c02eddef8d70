// Writing a puzzle as one self-contained web page: the template the program
// carries, with the settings (JSON) and the picture (base64) filled in. No
// player stub is read. BuildTarget writes a web page for a target whose name
// ends in ".html" or ".htm".
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "package_build.h"
#include "package_record.h"
#include "web_page_settings.h"
#include "web_page_template.h"

// Whether the target is a web page: its name ends in ".html" or ".htm", in
// any letter case.
bool IsWebPageTarget(const std::string& targetPath);

// Null when a web page can carry these settings, else the status text of the
// refusal: a win address (after normalisation) that is not http: or https:.
const char* RefuseWebPageSettings(const PackageSettings& settings);

// The settings a page carries for these form values and this picture. The
// texts are those of the settings record (cut alike), empty where the record
// holds " "; the win address is "" for none, with its scheme in lower case.
// The picture is the file as given; its few last bytes may be changed while
// the key is taken, and are restored.
WebPageSettings WebSettingsFor(const PackageSettings& settings, uint8_t* picture, uint32_t length,
                               const char* pictureType, uint32_t width, uint32_t height);

// Receives the page piece by piece; false stops the writing.
typedef std::function<bool(const char* text, size_t length)> WebPageSink;

enum WebComposeResult { WebPageComposed, WebTemplateDamaged, WebSinkFailed };

// The template with each placeholder replaced: the settings text, and the
// picture's bytes in base64. The template must hold each placeholder exactly
// once; nothing is written when it does not.
WebComposeResult ComposeWebPage(const WebPageTemplate& page, const std::string& settingsJson,
                                const uint8_t* picture, size_t pictureSize, const WebPageSink& sink);

enum WebPageResult {
    WebPageWritten,
    WebPageNotPicture,   // the picture is not one a page can show
    WebPageWriteFailed,  // writing the target failed (see errno)
    WebPageFailed,       // anything else; see WebPageOutcome::status
};

struct WebPageOutcome {
    const char* status = nullptr;  // for WebPageFailed: the status text
    std::string reason;            // the cause, where one is known
    bool aboutPicture = false;     // for WebPageFailed: the picture file is the one concerned
};

// The web page body of a build that has checked the request, opened the
// target file and read the picture file (picture, with room for its padded
// length). Reports "Converting Picture..." (bitmaps and TIFF) and "Writing
// Web Page..." through status.
WebPageResult WriteWebPage(const PackageSettings& settings, uint8_t* picture, uint32_t length,
                           FILE* target, const BuildStatusSink& status, WebPageOutcome* outcome);
