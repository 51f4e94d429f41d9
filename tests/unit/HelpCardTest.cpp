// The README quotes the help card the program draws; a change to either side without the other fails here.

#include "app/HelpScreens.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::string RightTrimmed(std::string text) {
    return text.erase(text.find_last_not_of(' ') + 1);
}

TEST(HelpCardTest, ReadmeQuotesTheCardLineForLine) {
    std::ifstream readme(TOVI_README);
    std::string line;
    while (std::getline(readme, line) && line != "## The help card") {
    }
    while (std::getline(readme, line) && line.rfind("```", 0) != 0) {
    }
    std::vector<std::string> quoted, card;
    while (std::getline(readme, line) && line.rfind("```", 0) != 0)
        quoted.push_back(RightTrimmed(line));
    // The blocks one after the other, a blank line between them.
    for (int b = 0; b < HelpCardBlockCount; ++b) {
        if (b > 0)
            card.push_back("");
        for (int k = 0; k < HelpCardBlock(b).Count; ++k)
            card.push_back(RightTrimmed(HelpCardBlock(b).Lines[k]));
    }
    EXPECT_EQ(quoted, card);
}

} // namespace
