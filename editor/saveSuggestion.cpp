#include "editor/saveSuggestion.h"

#include <algorithm>

#include "authoring/paths.h"

namespace {

bool forbidden(unsigned char c) {
    return c < 0x20 || c == 0x7F || std::string("<>:\"/\\|?*").find(static_cast<char>(c)) != std::string::npos;
}

// Windows opens a device, not a file, for these names, whatever follows a dot.
bool isDeviceName(const std::string& name) {
    std::string base = loweredAscii(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static const char* const devices[] = {"con", "prn", "aux", "nul"};
    for (const char* device : devices) {
        if (base == device) return true;
    }
    return base.size() == 4 && (base.compare(0, 3, "com") == 0 || base.compare(0, 3, "lpt") == 0) && base[3] >= '1' &&
           base[3] <= '9';
}

}  // namespace

std::string fileNameOfTitle(const std::string& title, const std::string& fallback) {
    const size_t maximum = 100;
    std::string name;
    for (size_t i = 0; i < title.size();) {
        // One UTF-8 character at a time, so that the length bound never splits one.
        size_t length = 1;
        const unsigned char lead = static_cast<unsigned char>(title[i]);
        if (lead >= 0xF0) {
            length = 4;
        } else if (lead >= 0xE0) {
            length = 3;
        } else if (lead >= 0xC0) {
            length = 2;
        }
        length = std::min(length, title.size() - i);
        const std::string character = title.substr(i, length);
        i += length;
        const bool space = character == " " || character == "\t" || character == "\r" || character == "\n";
        if (!space && length == 1 && forbidden(lead)) continue;
        if (space && (name.empty() || name.back() == ' ')) continue;
        if (name.size() + character.size() > maximum) break;
        name += space ? std::string(" ") : character;
    }
    while (!name.empty() && (name.back() == ' ' || name.back() == '.')) name.pop_back();
    size_t first = 0;
    while (first < name.size() && (name[first] == '.' || name[first] == ' ')) ++first;
    name.erase(0, first);
    if (name.empty()) return fallback;
    if (isDeviceName(name)) name += "_";
    return name;
}

std::string suggestedFolder(const EditorDocument& document, const std::string& lastFolder,
                            const std::string& temporaryFolder) {
    for (const ModelQuestion& question : document.model.questions) {
        for (const std::string* media : {&question.picture, &question.solution, &question.clip}) {
            if (!isAbsolutePath(*media)) continue;
            if (!relativeInside(temporaryFolder, *media).empty()) continue;
            return folderOf(normalisedPath(*media));
        }
    }
    return lastFolder;
}

std::string suggestedSavePath(const EditorDocument& document, const char* extension, const std::string& fallbackName,
                              const std::string& lastFolder, const std::string& temporaryFolder) {
    if (!document.path.empty() && std::string(extension) == ".toml") return document.path;
    const std::string name = fileNameOfTitle(document.model.title, fallbackName) + extension;
    const std::string folder =
        document.path.empty() ? suggestedFolder(document, lastFolder, temporaryFolder) : folderOf(document.path);
    return folder.empty() ? name : joinPath(folder, name);
}
