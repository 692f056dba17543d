// The table of command-line texts in docs/command-line.md, row by row: each kind of text in
// each of the seven positions, with the positions before it given and those
// after it left out.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "params.h"

namespace {

const int kDefaults[PARAM_COUNT] = {14, 14, 2, 3, 4, 3, 1};

std::vector<int> read(const std::vector<std::string>& args) {
    std::vector<std::string> texts{"./game"};
    texts.insert(texts.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& t : texts) argv.push_back(t.data());
    argv.push_back(nullptr);
    std::vector<int> params(PARAM_COUNT, -12345);
    readParams(static_cast<int>(texts.size()), argv.data(), params.data());
    return params;
}

struct Row {
    const char* kind;
    std::string text;
    bool keepsDefault;  // else it reads as value
    int value;
};

// The row's text at every position: the value it is stored as, a width or
// height below 1 raised to 1; the positions before it as given (5), those
// after it at their defaults.
void expectRow(const Row& row) {
    for (int position = 1; position <= PARAM_COUNT; ++position) {
        SCOPED_TRACE(std::string(row.kind) + " \"" + row.text + "\" at position " + std::to_string(position));
        std::vector<std::string> args(position - 1, "5");
        args.push_back(row.text);
        const std::vector<int> params = read(args);
        for (int slot = 0; slot < PARAM_COUNT; ++slot) {
            int expected = slot < position - 1 ? 5 : kDefaults[slot];
            if (slot == position - 1 && !row.keepsDefault) {
                expected = row.value;
                if ((slot == PARAM_WIDTH || slot == PARAM_HEIGHT) && expected < 1) expected = 1;
            }
            EXPECT_EQ(params[slot], expected) << "slot " << slot;
        }
    }
}

}  // namespace

TEST(CommandLineTable, EmptyTextStandsForThePositionsDefault) {
    expectRow({"empty", "", true, 0});
}

TEST(CommandLineTable, BlankTextStandsForThePositionsDefault) {
    expectRow({"blank", "   ", true, 0});
    expectRow({"blank", " \t\n", true, 0});
}

TEST(CommandLineTable, LettersReadAsZero) {
    expectRow({"letters", "abc", false, 0});
    expectRow({"letters", "Hard", false, 0});
}

TEST(CommandLineTable, ASignAloneReadsAsZero) {
    expectRow({"a sign alone", "-", false, 0});
    expectRow({"a sign alone", "+", false, 0});
}

TEST(CommandLineTable, ReadingStopsAtTheFirstCharacterThatCannotContinueTheNumber) {
    expectRow({"digits then letters", "12abc", false, 12});
    expectRow({"a decimal fraction", "3.9", false, 3});
    expectRow({"hexadecimal", "0x10", false, 0});
    expectRow({"leading blanks and a plus", "  +7", false, 7});
}

TEST(CommandLineTable, NegativeNumbersKeepTheirValue) {
    expectRow({"negative", "-5", false, -5});
    expectRow({"negative", "-1", false, -1});
}

TEST(CommandLineTable, NumbersPastTheLargestIntWrapToNegative) {
    expectRow({"largest unsigned int", "4294967295", false, -1});
    expectRow({"just past the largest int", "2147483648", false, INT_MIN});
}

TEST(CommandLineTable, NumbersTooLargeForAnUnsignedIntReadAsMinusOne) {
    expectRow({"larger", "4294967296", false, -1});
    expectRow({"larger", "99999999999999999999", false, -1});
}

TEST(CommandLineTable, TheEighthAndNinthArgumentsChangeNothing) {
    const std::vector<std::string> seven = {"9", "7", "1", "0", "2", "5", "0"};
    std::vector<std::string> nine = seven;
    nine.insert(nine.end(), {"3", "abc"});
    EXPECT_EQ(read(nine), read(seven));
    EXPECT_EQ(read(nine), (std::vector<int>{9, 7, 1, 0, 2, 5, 0}));
}
