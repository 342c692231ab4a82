#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <random>
#include <thread>

#include "platform/Application.h"
#include "platform/MainThreadQueue.h"
#include "tests/chess/BoardFixture.h"
#include "tests/chess/EngineFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;
using namespace std::chrono_literals;

namespace {

// Runs the main thread's message pass until `done` holds (at most 60 s).
template <class Pred>
bool PumpUntil(Pred done, std::chrono::milliseconds limit = 60s) {
    return TApplication::Instance().ProcessUntil(done, limit);
}

void PumpFor(std::chrono::milliseconds time) {
    const auto end = std::chrono::steady_clock::now() + time;
    TApplication::Instance().ProcessUntil([&] { return std::chrono::steady_clock::now() >= end; }, time + 1s);
}

// Waits, without running anything on the main thread, until `done` holds
// (at most 60 s).
template <class Pred>
bool SpinUntil(Pred done) {
    const auto end = std::chrono::steady_clock::now() + 60s;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::yield();
    }
    return true;
}

// Counts the moves the board plays and checks that every event arrives on
// the main thread.
struct MoveCounter {
    int moves = 0;
    std::vector<std::string> played;
    explicit MoveCounter(TChessBoard& board) {
        board.OnLegalMove = [this](TObject*, Square a, Square b) {
            EXPECT_TRUE(TMainThreadQueue::IsMainThread());
            ++moves;
            played.push_back(SquareName(a) + SquareName(b));
        };
    }
};

} // namespace

TEST(EngineHandOff, WaitsWhileTheHumanIsToMoveThenRepliesOnTheMainThread) {
    TChessBoard board;
    MoveCounter counter(board);
    board.SetSearchDepth(3);
    board.NewGame();  // the first paint starts the worker
    board.SetComputerPlaysBlack(true);
    PumpFor(100ms);
    EXPECT_EQ(counter.moves, 0);
    EXPECT_FALSE(board.Thinking());

    ASSERT_TRUE(board.PlayMove(Square::E2, Square::E4));
    ASSERT_TRUE(PumpUntil([&] { return board.WhiteToMove(); }));
    ASSERT_EQ(counter.played.size(), 2u);

    // The reply is the engine's own choice for that position, engine square + 1.
    TChessEngine reference;
    LoadEngine(reference, "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
    EXPECT_EQ(counter.played[1], MoveText(reference.Think(3)));
}

TEST(EngineHandOff, TheComputerPlaysBothSidesToTheEndOfTheGame) {
    for (int depth : {1, 2}) {
        TChessBoard board;
        MoveCounter counter(board);
        bool ended = false;
        board.OnMate = [&](TObject*, Square, Square) { ended = true; };
        board.OnDraw = [&](TObject*) { ended = true; };
        board.SetSearchDepth(depth);
        board.NewGame();
        board.SetComputerPlaysWhite(true);
        board.SetComputerPlaysBlack(true);
        ASSERT_TRUE(PumpUntil([&] { return ended || counter.moves >= 1000; }, 300s)) << depth;
        EXPECT_TRUE(ended) << "depth " << depth << " after " << counter.moves << " moves";
        EXPECT_TRUE(board.GameEnded());
        const int moves = counter.moves;
        PumpFor(50ms);
        EXPECT_EQ(counter.moves, moves) << "nothing is played after the end";
    }
}

namespace {

// Whether the worker runs no cycle over a stretch of the main loop: it
// sleeps instead of looking again and again at a board with nothing for it.
bool WorkerAsleep(TChessBoard& board) {
    PumpFor(50ms);  // a cycle already under way ends
    const uint64_t before = board.EngineCycles();
    PumpFor(300ms);
    return board.EngineCycles() == before && !board.Thinking();
}

} // namespace

TEST(EngineIdle, TheWorkerSleepsUntilTheComputerIsToMoveWhicheverWayItComes) {
    struct Case {
        const char* name;
        std::function<void(TChessBoard&)> handOver;  // the computer plays Black; White is to move
        int movesAfter;  // moves played once the computer has answered
    };
    const Case cases[] = {
        {"the human's PlayMove", [](TChessBoard& b) { ASSERT_TRUE(b.PlayMove(Square::E2, Square::E4)); }, 2},
        {"a move through ExecuteMove", [](TChessBoard& b) { ASSERT_TRUE(b.ExecuteMove(Square::E2, Square::E4)); }, 2},
        {"White handed to the computer",
         [](TChessBoard& b) {
             b.SetComputerPlaysBlack(false);
             b.SetComputerPlaysWhite(true);
         },
         1},
        {"a position set up, then the engine started",
         [](TChessBoard& b) {
             b.SetPosition("rnbqkbnrpppppppp" + std::string(32, '.') + "PPPPPPPPRNBQKBNR");
             b.SetWhiteToMove(false);
             b.StartThinking();
         },
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TChessBoard board;
        MoveCounter counter(board);
        board.SetSearchDepth(2);
        board.NewGame();
        board.SetComputerPlaysBlack(true);
        EXPECT_TRUE(WorkerAsleep(board)) << "the worker cycles while the human is to move";
        c.handOver(board);
        ASSERT_TRUE(PumpUntil([&] { return counter.moves == c.movesAfter; })) << "the computer never moved";
        EXPECT_TRUE(WorkerAsleep(board)) << "the worker cycles after its move";
    }
}

TEST(EngineIdle, AfterTheGameEndsTheWorkerSleepsAndANewGameWakesIt) {
    TChessBoard board;
    MoveCounter counter(board);
    board.SetSearchDepth(1);
    board.NewGame();
    for (const char* m : {"f2f3", "e7e5", "g2g4"}) ASSERT_TRUE(Play(board, m));
    board.SetComputerPlaysWhite(true);
    ASSERT_TRUE(board.PlayMove(Square::D8, Square::H4));  // mate: the computer has no move
    EXPECT_TRUE(WorkerAsleep(board));
    EXPECT_EQ(counter.moves, 4);

    board.NewGame();
    board.SetComputerPlaysWhite(true);
    ASSERT_TRUE(PumpUntil([&] { return counter.moves == 5; })) << "the new game's first move never came";
    EXPECT_TRUE(WorkerAsleep(board));
}

TEST(EngineHandOff, ChangingASideDuringASearchStopsItAndItsMoveIsNotPlayed) {
    TChessBoard board;
    MoveCounter counter(board);
    board.SetSearchDepth(8);
    board.NewGame();
    board.SetComputerPlaysWhite(true);
    ASSERT_TRUE(PumpUntil([&] { return board.Thinking(); }));
    board.SetComputerPlaysWhite(false);  // returns once the worker is parked
    EXPECT_FALSE(board.Thinking());
    PumpFor(100ms);
    EXPECT_EQ(counter.moves, 0);
    EXPECT_EQ(board.Position(), std::string(InitialPosition));

    // Under the new setting the worker searches afresh when it is to move.
    board.SetSearchDepth(1);
    board.SetComputerPlaysWhite(true);
    ASSERT_TRUE(PumpUntil([&] { return counter.moves == 1; }));
}

TEST(EngineHandOff, NothingIsPlayedAfterTheHumanMatesTheComputer) {
    TChessBoard board;
    MoveCounter counter(board);
    board.NewGame();
    for (const char* m : {"f2f3", "e7e5", "g2g4"}) ASSERT_TRUE(Play(board, m));
    board.SetComputerPlaysWhite(true);
    ASSERT_TRUE(board.PlayMove(Square::D8, Square::H4));  // mate
    PumpFor(200ms);
    EXPECT_EQ(counter.moves, 4);
    EXPECT_FALSE(board.Thinking());
}

TEST(EngineHandOff, AfterAThreefoldPositionTheEnginesMovesAreRefused) {
    TChessBoard board;
    MoveCounter counter(board);
    board.NewGame();
    for (const char* m : {"g1f3", "g8f6", "f3g1", "f6g8", "g1f3", "g8f6", "f3g1", "f6g8"}) ASSERT_TRUE(Play(board, m));
    ASSERT_TRUE(board.IsThreefoldRepetition());
    board.SetComputerPlaysWhite(true);
    PumpFor(200ms);
    EXPECT_EQ(counter.moves, 8);
}

TEST(EngineHandOff, ACastlingRightWithoutItsRookNeverStallsTheComputer) {
    TChessBoard board;
    MoveCounter counter(board);
    board.NewGame();
    // Black keeps the king-side right, but a white knight took the rook on h8.
    SetUpBoard(board, Diagram({"r..qk..N", "pppppppp", "........", "........", "........", "........", "PPPPPPPP",
                               "RNBQKB.R"}),
               false, AllCastling);
    board.SetSearchDepth(2);
    board.SetComputerPlaysBlack(true);
    ASSERT_TRUE(PumpUntil([&] { return counter.moves == 1; }));
    EXPECT_NE(counter.played[0], "e8g8");
}

TEST(EngineHandOff, AMateHandlerMayStartANewGameInsideTheEnginesDelivery) {
    TChessBoard board;
    MoveCounter counter(board);
    int mates = 0;
    board.OnMate = [&](TObject*, Square, Square) {
        ++mates;
        // Runs inside the worker's delivery of its mating move: neither call
        // may wait for the worker.
        board.NewGame();
        board.SetComputerPlaysBlack(true);
    };
    board.SetSearchDepth(2);
    board.NewGame();
    for (const char* m : {"f2f3", "e7e5", "g2g4"}) ASSERT_TRUE(Play(board, m));
    board.SetComputerPlaysBlack(true);
    ASSERT_TRUE(PumpUntil([&] { return mates == 1; }));
    EXPECT_EQ(board.Position(), std::string(InitialPosition));
    ASSERT_TRUE(board.PlayMove(Square::E2, Square::E4));
    ASSERT_TRUE(PumpUntil([&] { return board.WhiteToMove(); }));
}

TEST(EngineHandOff, AHandlerMayChangeSidesInsideTheEnginesDelivery) {
    TChessBoard board;
    int moves = 0;
    board.OnLegalMove = [&](TObject*, Square, Square) {
        if (++moves == 1) board.SetComputerPlaysWhite(false);  // inside the delivery of the first move
    };
    board.SetSearchDepth(1);
    board.NewGame();
    board.SetComputerPlaysWhite(true);
    ASSERT_TRUE(PumpUntil([&] { return moves == 1; }));
    PumpFor(100ms);
    EXPECT_EQ(moves, 1);
    EXPECT_FALSE(board.Thinking());
}

// After a mate the board stops its engine without waiting for the worker. A
// new game set up then may hand the engine a side for a moment (the side it
// played in the last game) and take it away again: the search the worker
// began in that moment is for the right position but the wrong side, and
// its move must not be played.
TEST(EngineHandOff, ASearchForASideTakenAwayAgainAfterAMateIsNotPlayed) {
    TChessBoard board;
    MoveCounter counter(board);
    TMainThreadQueue& queue = TMainThreadQueue::Instance();
    bool setUp = false;
    board.OnMate = [&](TObject*, Square, Square) {
        board.NewGame();
        board.SetComputerPlaysWhite(true);
        // The worker needs nothing from this thread to take that up: it
        // searches, or has already queued its move.
        ASSERT_TRUE(SpinUntil([&] { return board.Thinking() || queue.HasPending(); }));
        board.SetComputerPlaysWhite(false);
        setUp = true;
    };
    board.SetSearchDepth(2);
    board.NewGame();
    for (const char* m : {"f2f3", "e7e5", "g2g4"}) ASSERT_TRUE(Play(board, m));
    ASSERT_TRUE(board.PlayMove(Square::D8, Square::H4));  // mate, the handler runs inside
    ASSERT_TRUE(setUp);
    ASSERT_EQ(counter.moves, 4);

    // The worker's next call on the main thread ends that search: its move
    // (or, had it seen the stop, the end of its cycle). Run just that call.
    ASSERT_TRUE(SpinUntil([&] { return queue.HasPending(); }));
    queue.CheckSynchronize();
    EXPECT_EQ(counter.moves, 4) << counter.played.back();
    EXPECT_EQ(board.Position(), std::string(InitialPosition));
    EXPECT_TRUE(board.WhiteToMove());
}

TEST(EngineHandOff, DestroyingTheBoardEndsASearchingWorkerWithoutPlayingItsMove) {
    auto board = std::make_unique<TChessBoard>();
    int moves = 0;
    board->OnLegalMove = [&](TObject*, Square, Square) { ++moves; };
    board->SetSearchDepth(8);
    board->NewGame();
    board->SetComputerPlaysWhite(true);
    ASSERT_TRUE(PumpUntil([&] { return board->Thinking(); }));
    board.reset();
    EXPECT_EQ(moves, 0);
    PumpFor(50ms);
}

TEST(EngineHandOff, ThinkingIsFalseOnANewBoardAndPriorityIsKept) {
    TChessBoard board;
    EXPECT_FALSE(board.Thinking());
    board.SetThinkingPriority(TThreadPriority::tpLower);
    EXPECT_EQ(board.ThinkingPriority(), TThreadPriority::tpLower);
}

TEST(CustomEngine, AskedOnlyAfterAPlayMoveAndFailuresReported) {
    TChessBoard board;
    int asked = 0;
    std::vector<std::pair<Square, Square>> failed;
    board.SetCustomEngine(true);
    board.OnCalculateMove = [&](TObject*, Square& a, Square& b) {
        ++asked;
        EXPECT_EQ(a, Square::None);
        EXPECT_EQ(b, Square::None);
    };
    board.OnCalculationFailed = [&](TObject*, Square a, Square b) { failed.emplace_back(a, b); };
    board.NewGame();
    board.SetComputerPlaysBlack(true);
    board.SetComputerPlaysWhite(true);
    PumpFor(700ms);  // the 500 ms check runs, but the engine is stopped until a PlayMove
    EXPECT_EQ(asked, 0);

    board.SetComputerPlaysWhite(false);
    ASSERT_TRUE(board.PlayMove(Square::E2, Square::E4));
    EXPECT_EQ(asked, 1);
    ASSERT_EQ(failed.size(), 1u);
    EXPECT_EQ(failed[0], std::make_pair(Square::None, Square::None));
}

TEST(CustomEngine, TheTimerKeepsAskingWhileTheComputerIsToMove) {
    TChessBoard board;
    int played = 0;
    board.SetCustomEngine(true);
    board.OnLegalMove = [&](TObject*, Square, Square) { ++played; };
    // The first legal move in square order.
    board.OnCalculateMove = [&](TObject*, Square& a, Square& b) {
        for (int from = 1; from <= 64; ++from)
            for (int to = 1; to <= 64; ++to)
                if (board.IsLegalMove(static_cast<Square>(from), static_cast<Square>(to))) {
                    a = static_cast<Square>(from);
                    b = static_cast<Square>(to);
                    return;
                }
    };
    board.NewGame();
    board.SetComputerPlaysBlack(true);
    ASSERT_TRUE(board.PlayMove(Square::E2, Square::E4));  // Black answers at once
    EXPECT_EQ(played, 2);
    board.SetComputerPlaysWhite(true);  // stops the custom engine: only PlayMove starts it
    PumpFor(600ms);
    EXPECT_EQ(played, 2);
}

// Stops, starts, side changes, depth and priority changes and new games,
// many times over, while the worker searches. Built with ThreadSanitizer in
// CI as well.
TEST(EngineHandOffStress, RandomOperationsWhileSearching) {
    std::mt19937 rng(12345);
    TChessBoard board;
    int illegalDeliveries = 0;
    board.OnLegalMove = [&](TObject* sender, Square, Square) {
        if (sender != &board) ++illegalDeliveries;
    };
    board.NewGame();
    const auto priorities = {TThreadPriority::tpLowest, TThreadPriority::tpLower, TThreadPriority::tpNormal};
    for (int step = 0; step < 600; ++step) {
        switch (rng() % 8) {
        case 0: board.NewGame(); break;
        case 1: board.SetComputerPlaysWhite(rng() % 2); break;
        case 2: board.SetComputerPlaysBlack(rng() % 2); break;
        case 3: board.SetSearchDepth(1 + static_cast<int>(rng() % 4)); break;
        case 4: board.SetThinkingPriority(*(priorities.begin() + rng() % 3)); break;
        case 5: {
            // A random legal move for the side to move, as a human would play it.
            std::vector<std::pair<Square, Square>> legal;
            for (int a = 1; a <= 64; ++a)
                for (int b = 1; b <= 64; ++b)
                    if (board.IsLegalMove(static_cast<Square>(a), static_cast<Square>(b)))
                        legal.emplace_back(static_cast<Square>(a), static_cast<Square>(b));
            if (!legal.empty()) {
                const auto& m = legal[rng() % legal.size()];
                EXPECT_TRUE(board.PlayMove(m.first, m.second));
            }
            break;
        }
        case 6: board.StopThinking(); break;
        default: PumpFor(std::chrono::milliseconds(rng() % 5)); break;
        }
        TApplication::Instance().ProcessMessages();
    }
    EXPECT_EQ(illegalDeliveries, 0);
}
