// The README against the program: its copy of the help card is the card the program draws, and every key
// the card names has a row in its controls table. A change to either side without the other fails here.

#include "app/HelpScreens.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string RightTrimmed(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::vector<std::string> ReadmeLines() {
    std::ifstream file(TOVI_README);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

// The lines of the first fenced block after the heading, or nothing when there is none.
std::vector<std::string> FencedBlockAfter(const std::vector<std::string>& lines, const std::string& heading) {
    size_t at = 0;
    while (at < lines.size() && lines[at] != heading)
        ++at;
    while (at < lines.size() && lines[at].rfind("```", 0) != 0)
        ++at;
    std::vector<std::string> block;
    for (++at; at < lines.size() && lines[at].rfind("```", 0) != 0; ++at)
        block.push_back(lines[at]);
    return block;
}

// The first cell of every row of the first table after the heading.
std::set<std::string> FirstColumnAfter(const std::vector<std::string>& lines, const std::string& heading) {
    size_t at = 0;
    while (at < lines.size() && lines[at] != heading)
        ++at;
    while (at < lines.size() && lines[at].rfind("|", 0) != 0)
        ++at;
    std::set<std::string> cells;
    for (; at < lines.size() && lines[at].rfind("|", 0) == 0; ++at) {
        const std::string cell = lines[at].substr(1, lines[at].find('|', 1) - 1);
        cells.insert(cell.substr(1, cell.size() - 2));
    }
    return cells;
}

// Every key line of the card: the key column (the first fifteen characters, blanks squeezed) is on the
// left; the README row that explains it on the right.
const std::map<std::string, std::string> ReadmeRowOfCardKey = {
    {"1-3", "1, 2, 3"},
    {"[]", "[ ]"},
    {"<Home/End>", "Home / End"},
    {"<LeftButton>", "left button"},
    {"<MiddleButton>", "middle button"},
    {"`/<RightButton>", "right button, `"},
    {"<MouseX/Y>", "mouse"},
    {"<Up/Down>", "Up / Down"},
    {"<Left/Right>", "Left / Right"},
    {"<F1/F2>", "F1 / F2"},
    {"<F11/F12>", "F11 / F12"},
    {"<control>+", "Ctrl + Up / Down"},
    {"<alt>+", "Alt + arrows"},
    {"unshifted -+", "- ="},
    {"shift ()", "( )"},
    {"unshifted <>", ", ."},
    {"shift {}", "{ }"},
    {"shift <>", "< >"},
    {"c", "c"},
    {"f", "f"},
    {"l", "l"},
    {"p", "p"},
    {"<ESC> or q", "Esc, q, Q"},
    {"r", "r"},
    {"s", "s, t, u"},
    {"t", "s, t, u"},
    {"u", "s, t, u"},
    {"v", "v"},
    {"w", "w"},
    {"shift !", "!"},
    {"shift @", "@"},
    {"<SPACE>", "space"},
};

// A block's key lines run from below its heading to the rule that opens the notice lines.
std::set<std::string> CardKeys() {
    std::set<std::string> keys;
    for (int b = 0; b < HelpCardBlockCount; ++b) {
        const HelpBlock block = HelpCardBlock(b);
        for (int k = 1; k < block.Count && std::string(block.Lines[k]).find("---") == std::string::npos;
             ++k) {
            std::istringstream words(std::string(block.Lines[k]).substr(0, 15));
            std::string key, word;
            while (words >> word)
                key += (key.empty() ? "" : " ") + word;
            keys.insert(key);
        }
    }
    return keys;
}

TEST(HelpCardTest, ReadmeQuotesTheCardAndExplainsEveryKeyItNames) {
    const std::vector<std::string> readme = ReadmeLines();
    ASSERT_FALSE(readme.empty()) << "cannot read " << TOVI_README;

    // The blocks one after the other, a blank line between them; trailing blanks do not show.
    std::vector<std::string> card;
    for (int b = 0; b < HelpCardBlockCount; ++b) {
        if (b > 0)
            card.push_back("");
        const HelpBlock block = HelpCardBlock(b);
        for (int k = 0; k < block.Count; ++k)
            card.push_back(RightTrimmed(block.Lines[k]));
    }
    std::vector<std::string> quoted = FencedBlockAfter(readme, "## The help card");
    for (std::string& line : quoted)
        line = RightTrimmed(line);
    EXPECT_EQ(quoted, card) << "README.md's help card differs from the program's";

    const std::set<std::string> rows = FirstColumnAfter(readme, "## Controls");
    std::set<std::string> known;
    for (const auto& [key, row] : ReadmeRowOfCardKey) {
        known.insert(key);
        EXPECT_EQ(rows.count(row), 1u)
            << "README.md's controls table has no row \"" << row << "\" for " << key;
    }
    EXPECT_EQ(CardKeys(), known) << "the card's keys changed: update the controls table and this list";
}

} // namespace
