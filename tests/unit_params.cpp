// The game's command line: defaults, the conversion of each text the way a
// string stream reads an unsigned int, the bounds on the size, and blank
// arguments standing for their position's default.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
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

// The value one text gives in a count position (no bound applied there).
int asCount(const std::string& text) {
    return read({"14", "14", text})[2];
}

const Params defaults{14, 14, 2, 3, 4, 3, 1};

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
}

TEST(Params, WidthAndHeightOfZeroOrLessBecomeOne) {
    EXPECT_EQ(read({"0", "-3"}), (Params{1, 1, 2, 3, 4, 3, 1}));
    EXPECT_EQ(read({"-5", "abc"}), (Params{1, 1, 2, 3, 4, 3, 1}));
    EXPECT_EQ(read({"4294967295", "1"}), (Params{1, 1, 2, 3, 4, 3, 1}));
}

TEST(Params, TextsConvertAsAStreamReadsAnUnsignedInt) {
    EXPECT_EQ(asCount("12abc"), 12);
    EXPECT_EQ(asCount("3.9"), 3);
    EXPECT_EQ(asCount("0x10"), 0);
    EXPECT_EQ(asCount("abc"), 0);
    EXPECT_EQ(asCount("-"), 0);
    EXPECT_EQ(asCount("  7"), 7);
    EXPECT_EQ(asCount("+6"), 6);
    EXPECT_EQ(asCount("007"), 7);
    EXPECT_EQ(asCount("-5"), -5);
    EXPECT_EQ(asCount("4294967295"), -1);
    EXPECT_EQ(asCount("2147483648"), -2147483647 - 1);
    EXPECT_EQ(asCount("4294967296"), -1);
    EXPECT_EQ(asCount("99999999999999999999"), -1);
    EXPECT_EQ(read({"12abc"})[0], 12);
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
