#include "editor/editorCommands.h"

#include "authoring/windows1252.h"

Message menuTitle(EditorMenu menu) {
    switch (menu) {
        case EditorMenu::file: return Message::menuFile;
        case EditorMenu::edit: return Message::menuEdit;
        case EditorMenu::help: return Message::menuHelp;
    }
    return Message::menuHelp;
}

std::string keyText(CommandKey key) {
    if (key.code == 0) return "";
    std::string text;
    if (key.modifiers & commandKeys::control) text += "Ctrl+";
    if (key.modifiers & commandKeys::alternate) text += "Alt+";
    if (key.modifiers & commandKeys::shift) text += "Maj+";
    if (key.code >= commandKeys::fKey(1) && key.code <= commandKeys::fKey(24)) {
        return text + "F" + std::to_string(key.code - commandKeys::fKey(1) + 1);
    }
    // Letters and digits are their own virtual keys; no other key has a name here.
    const bool named = (key.code >= 'A' && key.code <= 'Z') || (key.code >= '0' && key.code <= '9');
    return named ? text + static_cast<char>(key.code) : "";
}

std::string menuText(const EditorCommandEntry& command) {
    const std::string text = windows1252ToUtf8(command.text);
    const std::string shown = keyText(command.key);
    return shown.empty() ? text : text + "\t" + shown;
}
