// The fixture of the action tests: a fresh window system and engine journal per
// test, pages made on demand, and the checks every test ends with.
#ifndef TESTS_ACTIONS_ACTION_TEST_H
#define TESTS_ACTIONS_ACTION_TEST_H

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "action_page.h"

class ActionTest : public ::testing::Test {
protected:
    void SetUp() override;
    // Tears the effect registry down as instance destruction does, then releases
    // the pages; the engine must not have seen a single stale handle.
    void TearDown() override;

    // A page with the drawing loaded; by default without antialiasing, so that
    // view pixels and engine units are the same.
    ActionPage& Open(const std::string& drawingText,
                     const std::map<std::string, std::string>& attributes = {{"noantialias", ""}});
    // Clears the engine's journal and starts recording.
    void StartJournal();

    std::vector<std::unique_ptr<ActionPage>> pages;
};

#endif
