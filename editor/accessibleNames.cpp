#include "editor/accessibleNames.h"

#include <algorithm>

#include "editor/editorCommands.h"

namespace {

// What follows the counts: the status line joins its parts with " — ".
std::string statusMessage(const std::string& status) {
    const std::string separator = u8" \u2014 ";
    const size_t at = status.find(separator);
    return at == std::string::npos ? std::string() : status.substr(at + separator.size());
}

}  // namespace

std::string accessibleName(int controlId, const std::string& labelText) {
    if (controlId == fieldPreview(ModelField::picture)) return u8"Aper\u00E7u de l'image";
    if (controlId == fieldPreview(ModelField::solution)) return u8"Aper\u00E7u de la solution";
    if (controlId == idRewardScores) return u8"Bonnes r\u00E9ponses de chaque code";
    std::string name;
    for (size_t i = 0; i < labelText.size(); ++i) {
        if (labelText[i] == '&') {
            // "&&" is one "&"; any other "&" only marks the key.
            if (i + 1 < labelText.size() && labelText[i + 1] == '&') name += labelText[++i];
            continue;
        }
        name += labelText[i];
    }
    while (!name.empty() && (name.back() == ' ' || name.back() == ':')) name.pop_back();
    return name;
}

bool statusMessageToAnnounce(const std::string& before, const std::string& after) {
    const std::string message = statusMessage(after);
    return !message.empty() && message != statusMessage(before);
}

std::vector<std::string> newLines(const std::vector<std::string>& before, const std::vector<std::string>& after) {
    std::vector<std::string> gained;
    for (const std::string& line : after) {
        if (std::find(before.begin(), before.end(), line) == before.end()) gained.push_back(line);
    }
    return gained;
}
