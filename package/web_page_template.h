// The web page template that the programs carry inside them: the whole page
// (HTML, style, scripts, the WebAssembly module, the texts) with two
// placeholders, each once, for the settings and the picture. Windows programs
// hold it as the resource VORNIX_WEB_TEMPLATE (RCDATA) of their own file;
// native programs link it in as bytes (library vn_web_template).
#pragma once

#include <cstddef>

const char WebSettingsPlaceholder[] = "@VORNIX_SETTINGS@";
const char WebPicturePlaceholder[] = "@VORNIX_PICTURE@";

struct WebPageTemplate {
    const char* text = nullptr;
    size_t length = 0;
};

// The template of this program. False when the program carries none.
bool FindWebPageTemplate(WebPageTemplate* found);
