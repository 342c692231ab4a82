#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/Application.h"
#include "platform/MainThreadQueue.h"
#include "platform/sdl/SdlEvents.h"

using namespace zelkor;
using namespace std::chrono_literals;

TEST(SdlEvents, PumpsEventsWithoutADisplay) {
    TSdlEventSource source;
    ASSERT_TRUE(source.Ok()) << source.Error();
    int seen = 0;
    const Uint32 type = SDL_RegisterEvents(1);
    source.OnEvent = [&](const SDL_Event& e) {
        if (e.type == type) ++seen;
        return true;
    };
    SDL_Event e{};
    e.type = type;
    SDL_PushEvent(&e);
    TApplication::Instance().ProcessMessages();
    EXPECT_EQ(seen, 1);
}

TEST(SdlEvents, AnUnhandledQuitEndsTheLoop) {
    TSdlEventSource source;
    ASSERT_TRUE(source.Ok()) << source.Error();
    TApplication::Instance().ResetTerminated();
    SDL_Event e{};
    e.type = SDL_QUIT;
    SDL_PushEvent(&e);
    TApplication::Instance().Run();  // returns: the quit terminated it
    EXPECT_TRUE(TApplication::Instance().Terminated());
    TApplication::Instance().ResetTerminated();
}

TEST(SdlEvents, AWorkersCallWakesTheIdleWait) {
    TSdlEventSource source;
    ASSERT_TRUE(source.Ok()) << source.Error();
    bool ran = false;
    std::thread worker([&] {
        std::this_thread::sleep_for(50ms);
        TMainThreadQueue::Instance().Synchronize([&] {
            ran = true;
            TApplication::Instance().Terminate();
        });
    });
    TApplication::Instance().ResetTerminated();
    const auto start = std::chrono::steady_clock::now();
    TApplication::Instance().Run();  // no idle handler: it sleeps in SDL until woken
    worker.join();
    EXPECT_TRUE(ran);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
    TApplication::Instance().ResetTerminated();
}
