// One QApplication for the whole test program, created before the first test and destroyed after
// the last one (still inside main, so Qt shuts down in the normal order). The tests run with
// QT_QPA_PLATFORM=offscreen and need no display.

#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <memory>

namespace {

class TQtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // Settings the tests write (the recent files) go to Qt's test locations, not the user's.
        QStandardPaths::setTestModeEnabled(true);
        App_ = std::make_unique<QApplication>(Argc_, Argv_);
    }
    void TearDown() override { App_.reset(); }

private:
    char Name_[16] = "zan_test_app";
    char* Argv_[2] = {Name_, nullptr};
    int Argc_ = 1;
    std::unique_ptr<QApplication> App_;
};

// GoogleTest owns registered environments and deletes them after the run.
[[maybe_unused]] ::testing::Environment* const kQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new TQtApplicationEnvironment);

} // namespace
