#pragma once
// One QApplication for a whole test program, on the offscreen platform unless
// the environment names another. It is destroyed when the tests are over,
// before the program's exit handlers run (Qt must not outlive its statics).
#include <QApplication>
#include <gtest/gtest.h>
#include <memory>

namespace corvane::test {

class QtTestApp : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

private:
    int argc_ = 1;
    char name_[8] = "corvane";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

// Registers the application environment once per test program.
inline const bool kQtTestAppRegistered = (::testing::AddGlobalTestEnvironment(new QtTestApp), true);

} // namespace corvane::test
