// The README and the manual page against the program: the README's copy of the help card is the card the
// program draws, every key the card names has a row in the README's controls table, the manual page lists
// those rows word for word, and it names the options --help names. A change to one side without the other
// fails here.

#include "app/CommandLine.h"
#include "app/HelpScreens.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string RightTrimmed(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// The manual page's escapes for a minus, a backquote and an empty space are read as the text they show.
std::vector<std::string> ReadLines(const char* path) {
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        for (const auto& [escape, text] : {std::pair{R"(\\-)", "-"}, {R"(\\\(ga)", "`"}, {R"(\\&)", ""}})
            line = std::regex_replace(line, std::regex(escape), text);
        lines.push_back(line);
    }
    return lines;
}

// The words that start with a dash, as options do.
std::set<std::string> Options(const std::string& text) {
    const std::regex option(R"((^|\s)(--?[a-z]+))");
    std::set<std::string> found;
    for (std::sregex_iterator at(text.begin(), text.end(), option), end; at != end; ++at)
        found.insert((*at)[2]);
    return found;
}

// The tagged paragraphs of a section of the manual page: ".TP", then ".B" with the tag, then its text.
std::map<std::string, std::string> ManualItems(const std::vector<std::string>& lines,
                                               const std::string& section) {
    std::map<std::string, std::string> items;
    bool inside = false;
    for (size_t at = 0; at + 1 < lines.size(); ++at) {
        if (lines[at].rfind(".SH ", 0) == 0)
            inside = lines[at] == ".SH " + section;
        if (!inside || lines[at] != ".TP" || lines[++at].rfind(".B ", 0) != 0)
            continue;
        std::string& text = items[lines[at].substr(3)];
        for (; at + 1 < lines.size() && lines[at + 1][0] != '.'; ++at)
            text += (text.empty() ? "" : " ") + lines[at + 1];
    }
    return items;
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

// The rows of the first two-column table after the heading, below its header: the first cell to the
// second, with the second's code quotes dropped.
std::map<std::string, std::string> TableAfter(const std::vector<std::string>& lines,
                                              const std::string& heading) {
    size_t at = 0;
    while (at < lines.size() && lines[at] != heading)
        ++at;
    while (at < lines.size() && lines[at].rfind("|", 0) != 0)
        ++at;
    std::map<std::string, std::string> rows;
    for (at += 2; at < lines.size() && lines[at].rfind("| ", 0) == 0; ++at) {
        const std::string row = lines[at].substr(2, lines[at].size() - 4);
        const size_t bar = row.find(" | ");
        rows[row.substr(0, bar)] = std::regex_replace(row.substr(bar + 3), std::regex("`"), "");
    }
    return rows;
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

TEST(HelpCardTest, ReadmeQuotesTheCardAndExplainsEveryKeyItNamesAsTheManualPageDoes) {
    const std::vector<std::string> readme = ReadLines(TOVI_README);
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

    const std::map<std::string, std::string> rows = TableAfter(readme, "## Controls");
    std::set<std::string> known;
    for (const auto& [key, row] : ReadmeRowOfCardKey) {
        known.insert(key);
        EXPECT_EQ(rows.count(row), 1u)
            << "README.md's controls table has no row \"" << row << "\" for " << key;
    }
    EXPECT_EQ(CardKeys(), known) << "the card's keys changed: update the controls table and this list";

    const std::vector<std::string> manual = ReadLines(TOVI_MANUAL);
    ASSERT_FALSE(manual.empty()) << "cannot read " << TOVI_MANUAL;
    EXPECT_EQ(ManualItems(manual, "CONTROLS"), rows) << "the manual page's controls differ from README.md's";
    std::string manualText;
    for (const std::string& line : manual)
        manualText += line + "\n";
    EXPECT_EQ(Options(manualText), Options(UsageText())) << "the manual page and --help name other options";
}

} // namespace
