// The web page's runtime (HTML template, style sheet, script) and the judge
// module, carried inside the program: a source generated at build time from
// web/ and the WebAssembly build (web/embed.cmake).
#pragma once

#include <cstddef>
#include <string>

struct WebAsset {
    const unsigned char* data;
    size_t size;

    std::string bytes() const { return std::string(reinterpret_cast<const char*>(data), size); }
};

extern const WebAsset webPageTemplate;  // web/page.html
extern const WebAsset webPageStyle;     // web/page.css
extern const WebAsset webPageScript;    // web/player.js
extern const WebAsset webJudgeModule;   // the judge, WebAssembly
