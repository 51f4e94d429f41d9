// The manual page against the README and the program: its controls are the rows of the README's controls
// table word for word, and it names the options --help names. (The README's copy of the help card is read
// against the drawn card in HelpScreensTest.) A change to one side without the other fails here.

#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <string>

namespace {

// The file's text, with the manual page's escapes for a minus, a backquote and an empty space read as the
// text they show.
std::string ReadText(const char* path) {
    std::ifstream file(path);
    std::string text((std::istreambuf_iterator<char>(file)), {});
    for (const auto& [escape, shown] : {std::pair{R"(\\-)", "-"}, {R"(\\\(ga)", "`"}, {R"(\\&)", ""}})
        text = std::regex_replace(text, std::regex(escape), shown);
    return text;
}

// Each match's first group to its second, the line breaks inside the second read as spaces.
std::map<std::string, std::string> Pairs(const std::string& text, const std::string& pattern) {
    std::map<std::string, std::string> found;
    const std::regex pair(pattern);
    for (std::sregex_iterator at(text.begin(), text.end(), pair), end; at != end; ++at)
        found[(*at)[1]] = std::regex_replace((*at)[2].str(), std::regex("\n"), " ");
    return found;
}

TEST(HelpCardTest, TheManualPageListsTheReadmeControlsAndTheOptionsOfHelp) {
    const std::string readme = ReadText(TOVI_README);
    const std::string manual = ReadText(TOVI_MANUAL);
    const size_t table = readme.find("| Control | What it does |\n|---|---|\n");
    const size_t controls = manual.find(".SH CONTROLS\n");
    ASSERT_NE(table, std::string::npos) << "README.md has no controls table";
    ASSERT_NE(controls, std::string::npos) << "the manual page has no CONTROLS section";
    // The table's rows run to the first line that is no row; the section to the next heading.
    const std::string rows = readme.substr(table, readme.find("\n\n", table) - table + 1);
    const std::string items = manual.substr(controls, manual.find("\n.SH ", controls) - controls + 2);
    const std::map<std::string, std::string> readmeRows = Pairs(rows, R"(\n\| (.+?) \| (.+?) \|(?=\n))");
    ASSERT_GT(readmeRows.size(), 30u);
    std::map<std::string, std::string> expected;
    for (const auto& [key, text] : readmeRows)
        expected[key] = std::regex_replace(text, std::regex("`"), "");
    EXPECT_EQ(Pairs(items, R"(\n\.TP\n\.B (.+)\n([^.][\s\S]*?)(?=\n\.))"), expected)
        << "the manual page's controls differ from README.md's";
    // The words that start with a dash, as options do.
    const std::string option = R"((?:^|\s)(--?[a-z]+)())";
    EXPECT_EQ(Pairs(manual, option), Pairs(UsageText(), option))
        << "the manual page and --help name other options";
}

} // namespace
