// Event lists that random play found breaking the game, cut down and kept
// (tests/findings): each is sent to the game once more, which must pass
// every check of the monkey's runs (tests/monkey_run.h).

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "monkey_run.h"
#include "xsession.h"

namespace {

std::vector<std::string> findings() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(BATTLESHIPS_FINDINGS))
        if (entry.path().extension() == ".events") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class KeptFinding : public ::testing::TestWithParam<std::string> {};

TEST_P(KeptFinding, PlaysAgainWithEveryCheckPassing) {
    const std::string path = std::string(BATTLESHIPS_FINDINGS) + "/" + GetParam() + ".events";
    monkey::Script script;
    std::string error;
    ASSERT_TRUE(monkey::readScript(xtest::readFile(path), script, error)) << path << ": " << error;
    monkey::Setup setup;
    const char* checked = std::getenv("BATTLESHIPS_CHECKED_GAME");
    setup.game = checked != nullptr ? checked : xtest::buildDir() + "/game";
    setup.checked = checked != nullptr;
    setup.preload = BATTLESHIPS_FIXED_TIME;
    setup.folder = xtest::tempDir();
    setup.name = GetParam();
    size_t at = 0;
    const monkey::Result r = monkey::play(setup, script.gameArgs, [&](monkey::Sender&, monkey::Event& e) {
        if (at >= script.events.size()) return false;
        e = script.events[at++];
        return true;
    });
    std::string failures;
    for (const std::string& f : r.failures) failures += "\n  " + f;
    EXPECT_TRUE(r.failures.empty()) << path << ", " << r.events << " events, " << r.frames << " frames:" << failures;
    if (setup.checked) {
        EXPECT_GT(r.frames, 0) << "the checked game reported no frame";
    }
    if (r.failures.empty()) std::filesystem::remove_all(setup.folder);
}

INSTANTIATE_TEST_SUITE_P(Window, KeptFinding, ::testing::ValuesIn(findings()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

}  // namespace
