#pragma once
// The fixture of the end-to-end tests: a fresh folder per test, kept with its
// logs when the test fails.
#include "tests/e2e/E2eSupport.h"

#include <gtest/gtest.h>

#include <iostream>
#include <string>

namespace corvane::e2e {

class E2eTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (!HasFailure())
            return;
        folder.keep();
        std::string report = "Files kept in " + folder.path().string();
        for (const char* name : {"sim.log", "corvane.log"})
            report += std::string("\n--- ") + name + ":\n" + fileTail(folder / name);
        std::cerr << report << std::endl;
    }

    // The bytes in a readable form: \r for a carriage return.
    static std::string shown(const std::string& bytes)
    {
        std::string out;
        for (const char c : bytes)
            out += c == '\r' ? std::string("\\r") : std::string(1, c);
        return "\"" + out + "\"";
    }

    TestFolder folder;
};

} // namespace corvane::e2e
