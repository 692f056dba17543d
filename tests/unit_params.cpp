// The game's command line: defaults, the conversion of each text the way a
// string stream reads an unsigned int, the bounds on the size, and blank
// arguments standing for their position's default.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <string>
#include <vector>

#include "params.h"

namespace {

using Params = std::array<int, 7>;

Params read(const std::vector<std::string>& args) {
    std::vector<std::string> texts{"./game"};
    texts.insert(texts.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& t : texts) argv.push_back(t.data());
    argv.push_back(nullptr);
    // Two guard slots past the seventh: nothing may be written there.
    int slots[9] = {0, 0, 0, 0, 0, 0, 0, -12345, -12345};
    readParams(static_cast<int>(texts.size()), argv.data(), slots);
    EXPECT_EQ(slots[7], -12345);
    EXPECT_EQ(slots[8], -12345);
    Params p;
    std::copy(slots, slots + 7, p.begin());
    return p;
}

const Params defaults{14, 14, 2, 3, 4, 3, 1};

// A row of the table of texts in docs/command-line.md.
struct Row {
    std::string text;
    bool keepsDefault;  // else it reads as value
    int value;
};

// The row's text at every position: the value it is stored as, a width or
// height below 1 raised to 1; the positions before it as given (5), those
// after it at their defaults.
void expectRow(const Row& row) {
    for (int position = 1; position <= PARAM_COUNT; ++position) {
        SCOPED_TRACE("\"" + row.text + "\" at position " + std::to_string(position));
        std::vector<std::string> args(static_cast<size_t>(position - 1), "5");
        args.push_back(row.text);
        const Params params = read(args);
        for (int slot = 0; slot < PARAM_COUNT; ++slot) {
            int expected = slot < position - 1 ? 5 : defaults[static_cast<size_t>(slot)];
            if (slot == position - 1 && !row.keepsDefault) {
                expected = row.value;
                if ((slot == PARAM_WIDTH || slot == PARAM_HEIGHT) && expected < 1) expected = 1;
            }
            EXPECT_EQ(params[static_cast<size_t>(slot)], expected) << "slot " << slot;
        }
    }
}

}  // namespace

TEST(Params, NoArgumentsGiveTheDefaultGame) {
    EXPECT_EQ(read({}), defaults);
}

TEST(Params, GivenPositionsReplaceOnlyTheirOwnDefaults) {
    EXPECT_EQ(read({"10", "8"}), (Params{10, 8, 2, 3, 4, 3, 1}));
    EXPECT_EQ(read({"9", "7", "1", "0", "2", "5", "0"}), (Params{9, 7, 1, 0, 2, 5, 0}));
    EXPECT_EQ(read({"20"}), (Params{20, 14, 2, 3, 4, 3, 1}));
}

TEST(Params, ArgumentsPastTheSeventhAreIgnored) {
    EXPECT_EQ(read({"9", "7", "1", "0", "2", "5", "0", "88", "99"}), (Params{9, 7, 1, 0, 2, 5, 0}));
    EXPECT_EQ(read({"9", "7", "1", "0", "2", "5", "0", "3", "abc"}), (Params{9, 7, 1, 0, 2, 5, 0}));
}

TEST(Params, WidthAndHeightOfZeroOrLessBecomeOne) {
    EXPECT_EQ(read({"0", "-3"}), (Params{1, 1, 2, 3, 4, 3, 1}));
    EXPECT_EQ(read({"-5", "abc"}), (Params{1, 1, 2, 3, 4, 3, 1}));
    EXPECT_EQ(read({"4294967295", "1"}), (Params{1, 1, 2, 3, 4, 3, 1}));
}

// Each kind of text as a string stream reads an unsigned int, the same in
// every position: reading stops at the first character that cannot go on
// the number, a sign alone or letters give 0, and numbers past the largest
// unsigned int give -1.
TEST(Params, EachKindOfTextReadsAlikeInEveryPosition) {
    for (const Row& row : std::vector<Row>{
             {"", true, 0},
             {"   ", true, 0},
             {" \t\n", true, 0},
             {"abc", false, 0},
             {"Hard", false, 0},
             {"-", false, 0},
             {"+", false, 0},
             {"12abc", false, 12},
             {"3.9", false, 3},
             {"0x10", false, 0},
             {"  +7", false, 7},
             {"007", false, 7},
             {"-5", false, -5},
             {"-1", false, -1},
             {"4294967295", false, -1},
             {"2147483648", false, INT_MIN},
             {"4294967296", false, -1},
             {"99999999999999999999", false, -1},
         })
        expectRow(row);
}

TEST(Params, DifficultyIsStoredAsRead) {
    EXPECT_EQ(read({"1", "1", "0", "0", "0", "0", "0"})[6], 0);
    EXPECT_EQ(read({"1", "1", "0", "0", "0", "0", "abc"})[6], 0);
    EXPECT_EQ(read({"1", "1", "0", "0", "0", "0", "2"})[6], 2);
    EXPECT_EQ(read({"1", "1", "0", "0", "0", "0", "-1"})[6], -1);
    EXPECT_EQ(read({"1", "1", "0", "0", "0", "0", "-5"})[6], -5);
}

TEST(Params, EmptyOrBlankArgumentStandsForItsPositionsDefault) {
    // A blank first argument: nothing before it to repeat.
    EXPECT_EQ(read({""}), defaults);
    EXPECT_EQ(read({"   "}), defaults);
    EXPECT_EQ(read({"", "8"}), (Params{14, 8, 2, 3, 4, 3, 1}));
    // After other values: still the position's own default, not the value of
    // the argument before it.
    EXPECT_EQ(read({"10", "", "0", " \t", "9", "", "   "}), (Params{10, 14, 0, 3, 9, 3, 1}));
    EXPECT_EQ(read({"abc", " ", "-5", ""}), (Params{1, 14, -5, 3, 4, 3, 1}));
    // All seven blank.
    EXPECT_EQ(read({"", "", "", "", "", "", ""}), defaults);
}

TEST(Params, ReadingStopsAtANullArgument) {
    std::string prog = "./game", w = "5", h = "6";
    char* argv[] = {prog.data(), w.data(), nullptr, h.data(), nullptr};
    Params p;
    readParams(4, argv, p.data());
    EXPECT_EQ(p, (Params{5, 14, 2, 3, 4, 3, 1}));
}
