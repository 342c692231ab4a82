// Exceptions that reach the message loop: handed to OnException with their
// message, or passed on to the caller when nobody handles them.

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>

#include "platform/Application.h"
#include "platform/WindowTimer.h"

using namespace zelkor;
using namespace std::chrono_literals;

namespace {

class ApplicationException : public ::testing::Test {
protected:
    void TearDown() override {
        app.OnException = nullptr;
        app.ClearIdleHandler(this);
        app.ResetTerminated();
    }
    TApplication& app = TApplication::Instance();
};

TEST_F(ApplicationException, ATimersExceptionReachesTheHandlerWithItsMessage) {
    struct Case {
        const char* What;
        std::function<void()> Throw;
        const char* Message;
    } cases[] = {
        {"a standard exception", [] { throw std::runtime_error("the content is gone"); }, "the content is gone"},
        {"anything else", [] { throw 42; }, "Unknown exception"},
    };
    for (const Case& c : cases) {
        TWindowTimer timer;
        timer.SetInterval(1);
        timer.OnTimer = [&](TObject*) {
            timer.SetEnabled(false);
            c.Throw();
        };
        std::vector<std::string> seen;
        app.OnException = [&](TObject*, const std::string& message) { seen.push_back(message); };
        timer.SetEnabled(true);
        app.ProcessUntil([&] { return !seen.empty(); }, 5s);
        ASSERT_EQ(seen.size(), 1u) << c.What;
        EXPECT_EQ(seen[0], c.Message) << c.What;
    }
}

TEST_F(ApplicationException, WithoutAHandlerTheExceptionLeavesTheMessagePass) {
    TWindowTimer timer;
    timer.SetInterval(1);
    timer.OnTimer = [&](TObject*) {
        timer.SetEnabled(false);
        throw std::runtime_error("nobody listens");
    };
    timer.SetEnabled(true);
    EXPECT_THROW(app.ProcessUntil([] { return false; }, 2s), std::runtime_error);
}

// The idle handler (where the game draws its frames) is covered too: the
// handler may end the program, and the loop then stops.
TEST_F(ApplicationException, AnIdleHandlersExceptionReachesTheHandlerAndItsTerminateEndsTheLoop) {
    std::string seen;
    app.OnException = [&](TObject*, const std::string& message) {
        seen = message;
        app.Terminate();
    };
    app.SetIdleHandler(this, [](TObject*, bool&) { throw std::runtime_error("the frame failed"); });
    app.Run();
    EXPECT_EQ(seen, "the frame failed");
}

} // namespace
