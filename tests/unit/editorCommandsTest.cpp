#include <gtest/gtest.h>

#include <map>
#include <set>

#include "editor/accessKeys.h"
#include "editor/editorCommands.h"

namespace {

// A key read back from what a menu shows after its tab, written
// independently of keyText: "Ctrl+Maj+F12" -> control and shift, VK_F12.
CommandKey keyShown(const std::string& shown) {
    CommandKey key;
    size_t start = 0;
    for (size_t plus; (plus = shown.find('+', start)) != std::string::npos; start = plus + 1) {
        const std::string part = shown.substr(start, plus - start);
        key.modifiers |= part == "Ctrl" ? 0x08 : part == "Alt" ? 0x10 : part == "Maj" ? 0x04 : 0x80;
    }
    const std::string last = shown.substr(start);
    if (last.size() == 1) key.code = static_cast<unsigned char>(last[0]);
    if (last.size() > 1 && last[0] == 'F') key.code = static_cast<uint16_t>(0x6F + std::stoi(last.substr(1)));
    return key;
}

}  // namespace

TEST(EditorCommands, KeysAreNamedAsFrenchWindowsNamesThem) {
    using namespace commandKeys;
    const struct {
        CommandKey key;
        const char* text;
    } rows[] = {
        {ctrl('N'), "Ctrl+N"},
        {key(fKey(5)), "F5"},
        {byWindows(alt(fKey(4))), "Alt+F4"},
        {key(fKey(12), shift | control | alternate), "Ctrl+Alt+Maj+F12"},
        {key('7', control | shift), "Ctrl+Maj+7"},
        {noKey, ""},
        {key(0x2E), ""},  // Delete: a key the menus cannot name is shown as none, which the list test refuses
    };
    for (const auto& row : rows) EXPECT_EQ(keyText(row.key), row.text) << row.text;
}

TEST(EditorCommands, EachEntryHasItsOwnIdKeyAndLetterAndShowsItsKey) {
    std::set<int> ids;
    std::set<std::pair<int, int>> keys;
    std::map<EditorMenu, std::u32string> letters;  // the access keys of each menu so far
    for (const EditorCommandEntry& c : editorCommandList) {
        const std::string shown = menuText(c);
        SCOPED_TRACE(shown);
        EXPECT_TRUE(ids.insert(c.id).second) << "id taken twice";
        EXPECT_NE(std::string(c.handler), "");
        EXPECT_EQ(std::string(c.text).find('\t'), std::string::npos) << "a key written in the text";
        std::u32string& menu = letters[c.menu];
        if (menu.empty()) {
            EXPECT_EQ(c.group, CommandGroup::sameGroup) << "a menu opening on a line";
        }
        const char32_t letter = accessKeyOf(shown);
        EXPECT_NE(letter, 0U);
        EXPECT_EQ(menu.find(letter), std::u32string::npos) << "access key taken twice in its menu";
        menu += letter;
        const size_t tab = shown.find('\t');
        if (c.key.code == 0) {
            EXPECT_EQ(tab, std::string::npos);
            continue;
        }
        ASSERT_NE(tab, std::string::npos) << "a key the menu does not show";
        const CommandKey read = keyShown(shown.substr(tab + 1));
        EXPECT_EQ(read.code, c.key.code);
        EXPECT_EQ(read.modifiers, c.key.modifiers);
        EXPECT_TRUE(keys.insert({c.key.modifiers, c.key.code}).second) << "key taken twice";
    }
    for (EditorMenu menu : editorMenus) EXPECT_FALSE(letters[menu].empty()) << "an empty menu";
    EXPECT_EQ(letters.size(), std::size(editorMenus)) << "an entry in no menu of the bar";
}
