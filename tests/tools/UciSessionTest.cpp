#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <ostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "chess/Fen.h"
#include "tests/chess/BoardFixture.h"
#include "tools/uci/UciSession.h"

using namespace zelkor;
using namespace zelkor::testing_support;

namespace {

// A session whose answers are kept; searches run on the calling thread
// unless a test asks for the searcher thread.
struct UciSessionTest : ::testing::Test {
    std::vector<std::string> said;
    std::unique_ptr<UciSession> session;

    void Start(bool synchronous = true, int maxPerftDepth = 3) {
        UciSession::Options options;
        options.Synchronous = synchronous;
        options.DefaultDepth = 3;
        options.MaxPerftDepth = maxPerftDepth;
        session = std::make_unique<UciSession>([this](const std::string& line) { said.push_back(line); }, options);
    }
    void SetUp() override { Start(); }

    // Hands the lines over without looking at the answers: a search on the
    // session's own thread may still be writing them.
    void Feed(std::initializer_list<std::string_view> lines) {
        for (std::string_view line : lines) EXPECT_TRUE(session->HandleLine(line)) << line;
    }
    // Sends the lines and returns what the session answered to them.
    std::vector<std::string> Send(std::initializer_list<std::string_view> lines) {
        said.clear();
        Feed(lines);
        return said;
    }
    int BestMoveCount() const {
        int n = 0;
        for (const std::string& line : said) n += line.rfind("bestmove ", 0) == 0;
        return n;
    }
    std::string Fen() const { return BoardToFen(session->Board()); }

    // The move of the last answer, which must be a "bestmove" line.
    std::string BestMove() const {
        EXPECT_FALSE(said.empty());
        if (said.empty()) return {};
        const std::string& last = said.back();
        EXPECT_EQ(last.rfind("bestmove ", 0), 0u) << last;
        return last.substr(9);
    }
    // Whether the move is legal in chess in the session's position: judged
    // on a fresh board set up from it, which has no record of earlier
    // positions for its repetition rule to refuse moves with.
    bool LegalHere(const std::string& move) const {
        if (move.size() < 4) return false;
        FenPosition here;
        std::string error;
        EXPECT_TRUE(ParseFen(Fen(), here, error)) << error;
        TChessBoard judge;
        ApplyFen(judge, here);
        const auto [from, to] = Mv(move);
        return judge.IsLegalMove(from, to);
    }
};

using Lines = std::vector<std::string>;

TEST_F(UciSessionTest, AnswersTheHandshakeAndIgnoresWhatItHasNothingToDoWith) {
    EXPECT_EQ(Send({"uci"}), (Lines{"id name Zelkor Chess", "id author the Zelkor Chess developers", "uciok"}));
    EXPECT_EQ(Send({"  isready\r"}), (Lines{"readyok"}));
    EXPECT_EQ(Send({"", " \t ", "setoption name Hash value 64", "debug on", "register later", "ponderhit"}), Lines{});
    EXPECT_EQ(Send({"xyzzy 1 2"}), (Lines{"info string unknown command: xyzzy"}));
    // A long unknown word is cut short in the answer.
    EXPECT_EQ(Send({std::string(5000, 'a')}), (Lines{"info string unknown command: " + std::string(64, 'a')}));
    EXPECT_FALSE(session->HandleLine("quit"));
}

struct PositionCase {
    const char* name;
    std::string line;
    std::string fen;      // the position afterwards
    std::string answer;   // the start of the one answer, or empty for none
};
// A failing case names its line.
void PrintTo(const PositionCase& c, std::ostream* os) { *os << '"' << c.line << '"'; }

class UciPositionTest : public UciSessionTest, public ::testing::WithParamInterface<PositionCase> {};

// Every case starts from a position of its own, so "unchanged" shows.
const std::string kBefore = "4k3/8/8/8/8/8/8/4K2R w K - 0 1";

TEST_P(UciPositionTest, SetsThePositionOrSaysWhyNot) {
    const PositionCase& c = GetParam();
    ASSERT_EQ(Send({"position fen " + kBefore}), Lines{});
    const Lines answer = Send({c.line});
    if (c.answer.empty()) {
        EXPECT_EQ(answer, Lines{});
    } else {
        ASSERT_EQ(answer.size(), 1u);
        EXPECT_EQ(answer[0].rfind(c.answer, 0), 0u) << answer[0];
    }
    EXPECT_EQ(Fen(), c.fen);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, UciPositionTest,
    ::testing::Values(
        PositionCase{"StartPosition", "position startpos", std::string(StartFen), ""},
        PositionCase{"StartWithMoves", "position startpos moves e2e4 c7c5 g1f3",
                     "rnbqkbnr/pp1ppppp/8/2p5/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq - 0 2", ""},
        PositionCase{"FenWithMoves", "position fen r3k3/8/8/8/8/8/8/4K2R w Kq - 0 1 moves e1g1 a8a1",
                     "4k3/8/8/8/8/8/8/r4RK1 w - - 0 2", ""},
        PositionCase{"FenWithoutCounters", "position fen 4k3/8/8/8/8/8/8/4K3 b - -", "4k3/8/8/8/8/8/8/4K3 b - - 0 1",
                     ""},
        PositionCase{"EnPassantAfterDoubleStep", "position fen 4k3/8/8/8/5p2/8/4P3/4K3 w - - 0 1 moves e2e4 f4e3",
                     "4k3/8/8/8/8/4p3/8/4K3 w - - 0 2", ""},
        PositionCase{"UnderPromotion", "position fen 7k/P7/8/8/8/8/8/K7 w - - 0 1 moves a7a8n",
                     "N6k/8/8/8/8/8/8/K7 b - - 0 1", ""},
        PositionCase{"PromotionLetterInCapitals", "position fen 7k/P7/8/8/8/8/8/K7 w - - 0 1 moves a7a8R",
                     "R6k/8/8/8/8/8/8/K7 b - - 0 1", ""},
        PositionCase{"ExtraSpacesAndTabs", "position \t startpos   moves  d2d4\t",
                     "rnbqkbnr/pppppppp/8/8/3P4/8/PPP1PPPP/RNBQKBNR b KQkq d3 0 1", ""},
        PositionCase{"NeitherStartposNorFen", "position e2e4", kBefore, "info string position needs"},
        PositionCase{"NothingAtAll", "position", kBefore, "info string position needs"},
        PositionCase{"FenMissing", "position fen moves e2e4", kBefore, "info string bad FEN"},
        PositionCase{"FenWithTwoWhiteKings", "position fen 4k3/8/8/8/8/8/8/K3K3 w - - 0 1", kBefore,
                     "info string bad FEN"},
        PositionCase{"FenSideNotToMoveInCheck", "position fen 4k3/8/8/8/8/8/8/4R2K w - - 0 1", kBefore,
                     "info string bad FEN"},
        // Bad and illegal moves keep the moves before them.
        PositionCase{"MoveWordOffTheBoard", "position startpos moves e2e4 e7e9 d2d4",
                     "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1", "info string bad move 'e7e9'"},
        PositionCase{"BadPromotionLetter", "position fen 7k/P7/8/8/8/8/8/K7 w - - 0 1 moves a7a8k",
                     "7k/P7/8/8/8/8/8/K7 w - - 0 1", "info string bad move 'a7a8k'"},
        PositionCase{"IllegalMove", "position startpos moves e2e4 e7e5 e4e5",
                     "rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6 0 2",
                     "info string illegal move 'e4e5'"},
        PositionCase{"CastlingThroughCheck", "position fen 4k3/8/8/8/8/8/6r1/4K2R w K - 0 1 moves e1g1",
                     "4k3/8/8/8/8/8/6r1/4K2R w K - 0 1", "info string illegal move 'e1g1'"}),
    [](const ::testing::TestParamInfo<PositionCase>& param) { return std::string(param.param.name); });

TEST_F(UciSessionTest, NewGameGoesBackToTheStartingPosition) {
    Send({"position startpos moves e2e4 e7e5 g1f3", "ucinewgame"});
    EXPECT_EQ(Fen(), StartFen);
}

TEST_F(UciSessionTest, GoAnswersWithInfoLinesAndALegalBestMove) {
    Send({"position startpos moves e2e4", "go depth 2"});
    ASSERT_GE(said.size(), 3u);
    EXPECT_EQ(said[0].rfind("info depth 1 score cp ", 0), 0u) << said[0];
    EXPECT_EQ(said[1].rfind("info depth 2 score cp ", 0), 0u) << said[1];
    EXPECT_TRUE(LegalHere(BestMove())) << BestMove();
    // The search leaves the position as it was.
    EXPECT_EQ(Fen(), "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
}

TEST_F(UciSessionTest, GoFindsAMateInOne) {
    Send({"position fen 6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1", "go depth 3"});
    EXPECT_EQ(BestMove(), "a1a8");
}

TEST_F(UciSessionTest, GoDepthOutOfRangeIsClamped) {
    Send({"position startpos", "go depth 0"});
    EXPECT_EQ(said.front().rfind("info depth 1 ", 0), 0u) << said.front();
    EXPECT_TRUE(LegalHere(BestMove()));
    Send({"go depth 99999999999 wtime 100 infinite"});  // too long a number: the default depth
    EXPECT_EQ(said[said.size() - 2].rfind("info depth 3 ", 0), 0u) << said[said.size() - 2];
    EXPECT_TRUE(LegalHere(BestMove()));
}

TEST_F(UciSessionTest, GoWithoutAMoveAnswersTheNullMove) {
    for (const char* fen : {"rnb1kbnr/pppp1ppp/8/4p3/6Pq/5P2/PPPPP2P/RNBQKBNR w KQkq - 1 3",  // mated
                            "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1"}) {                            // stalemated
        Send({std::string("position fen ") + fen, "go depth 4"});
        EXPECT_EQ(said, (Lines{"info depth 0 score cp 0", "bestmove 0000"})) << fen;
    }
}

struct RepetitionCase {
    const char* name;
    std::string start;  // FEN
    std::string moves;  // along them the squares repeat a third time
    std::string fen;    // the position afterwards, without the counters
    bool noMove;        // mate or stalemate: no best move
};
void PrintTo(const RepetitionCase& c, std::ostream* os) { *os << c.name; }

class UciRepetitionTest : public UciSessionTest, public ::testing::WithParamInterface<RepetitionCase> {};

// The board ends its game when the 64 squares have been seen three times,
// whoever was to move. Chess goes on there: the session takes the moves
// played after it and answers with a move while there is one.
TEST_P(UciRepetitionTest, GoAnswersWithAMoveWhileChessGoesOn) {
    const RepetitionCase& c = GetParam();
    std::vector<std::string> moves;
    std::istringstream words(c.moves);
    for (std::string word; words >> word;) moves.push_back(word);
    {
        // The case meets the board's rule: played on a board of its own,
        // the repetition ends that board's game somewhere along the moves.
        FenPosition start;
        std::string error;
        ASSERT_TRUE(ParseFen(c.start, start, error)) << error;
        TChessBoard board;
        ApplyFen(board, start);
        bool ended = false;
        for (const std::string& move : moves) {
            ended = ended || board.IsThreefoldRepetition();
            if (!Play(board, move)) break;
        }
        ASSERT_TRUE(ended || board.IsThreefoldRepetition());
    }

    EXPECT_EQ(Send({"position fen " + c.start + " moves " + c.moves}), Lines{});
    const std::string fen = Fen();
    EXPECT_EQ(fen.substr(0, fen.rfind(' ', fen.rfind(' ') - 1)), c.fen);
    Send({"go depth 2"});
    if (c.noMove) {
        EXPECT_EQ(said, (Lines{"info depth 0 score cp 0", "bestmove 0000"}));
    } else {
        EXPECT_NE(BestMove(), "0000");
        EXPECT_TRUE(LegalHere(BestMove())) << BestMove();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Positions, UciRepetitionTest,
    ::testing::Values(
        // The starting position a third time, White to move.
        RepetitionCase{"KnightsBackHomeTwice", std::string(StartFen), "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8",
                       "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -", false},
        // One move more, itself a third repetition, Black to move.
        RepetitionCase{"OneMoveOnFromTheRepetition", std::string(StartFen),
                       "g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8 g1f3",
                       "rnbqkbnr/pppppppp/8/8/8/5N2/PPPPPPPP/RNBQKB1R b KQkq -", false},
        // Moves played after the repetition count.
        RepetitionCase{"PlayGoesOnAfterTheRepetition", std::string(StartFen),
                       "b1c3 b8c6 c3b1 c6b8 b1c3 b8c6 c3b1 c6b8 e2e4 e7e5 g1f3",
                       "rnbqkbnr/pppp1ppp/8/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R b KQkq -", false},
        // The white king walks a triangle while the black king steps back
        // and forth: the same squares come back with Black to move, then
        // again, the third time for the board though only the second in
        // chess, where the side to move counts.
        RepetitionCase{"SameSquaresWithTheOtherSideToMove", "7r/4k3/8/8/8/8/4K3/R7 w - - 0 1",
                       "e2d2 e7d7 d2d3 d7e7 d3e2 e7d7 e2d2 d7e7 d2e2", "7r/4k3/8/8/8/8/4K3/R7 b - -", false},
        // A stalemate after the repetition still has no move.
        RepetitionCase{"StalemateAfterTheRepetition", "7k/8/6K1/8/8/8/8/5Q2 w - - 0 1",
                       "f1f2 h8g8 f2f1 g8h8 f1f2 h8g8 f2f1 g8h8 f1f7", "7k/5Q2/6K1/8/8/8/8/8 b - -", true},
        // And so does a mate.
        RepetitionCase{"MateAfterTheRepetition", "6k1/5ppp/8/8/8/8/8/R5K1 w - - 0 1",
                       "g1h1 g8h8 h1g1 h8g8 g1h1 g8h8 h1g1 h8g8 a1a8", "R5k1/5ppp/8/8/8/8/8/6K1 b - -", true}),
    [](const ::testing::TestParamInfo<RepetitionCase>& param) { return std::string(param.param.name); });

TEST_F(UciSessionTest, PerftCountsEachRootMoveAndTheTotal) {
    Send({"position startpos", "go perft 2"});
    ASSERT_EQ(said.size(), 22u);
    EXPECT_EQ(said.back(), "Nodes searched: 400");
    EXPECT_EQ(said[20].rfind("info string perft 2 nodes 400 time ", 0), 0u) << said[20];
    for (size_t i = 0; i < 20; ++i) EXPECT_EQ(said[i].substr(4), ": 20") << said[i];

    // Kiwipete, a position full of castling, en passant and promotions.
    Send({"position fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", "go perft 3"});
    EXPECT_EQ(said.back(), "Nodes searched: 97862");
    // Deeper than the session allows: its own limit.
    Send({"position startpos", "go perft 9"});
    EXPECT_EQ(said.back(), "Nodes searched: 8902");
}

TEST_F(UciSessionTest, PerftWithoutADepthSaysSo) {
    for (const char* line : {"go perft", "go perft 0", "go perft -1", "go perft x"}) {
        EXPECT_EQ(Send({line}), (Lines{"info string go perft needs a depth of 1 or more"})) << line;
    }
}

// How long handing over a line may take before the session counts as
// hung. A line that needs no search returns in microseconds; the limit only
// turns a session that holds up its caller into a failure.
constexpr auto kHangLimit = std::chrono::seconds(120);

// Runs `work` while a watchdog waits up to kHangLimit for it. The work
// stays on this thread, which the session and its boards belong to (a
// board's engine thread hands calls back to it); a hang cannot be undone,
// so it ends the test program with the failure.
void WithinLimit(const char* what, const std::function<void()>& work) {
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        if (!changed.wait_for(lock, kHangLimit, [&] { return done; })) {
            ADD_FAILURE() << what << " did not return within " << kHangLimit.count() << " s";
            std::fflush(stdout);
            std::_Exit(1);
        }
    });
    work();
    {
        std::lock_guard lock(mutex);
        done = true;
    }
    changed.notify_one();
    watchdog.join();
}

// Kiwipete: 374 billion leaves at depth 7, hours of counting on any machine.
constexpr const char* kDeepPerft = "position fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";

TEST_F(UciSessionTest, PerftRunsOnTheSearchThreadAndGivesWayToIsreadyStopAndQuit) {
    Start(/*synchronous=*/false, /*maxPerftDepth=*/7);
    WithinLimit("go perft 7, isready, stop", [&] { Feed({kDeepPerft, "go perft 7", "isready", "stop"}); });
    // After `stop` returns the count has ended: the root moves counted in
    // full, then the note that it stopped, and no total; `isready` was
    // answered while it counted.
    ASSERT_FALSE(said.empty());
    EXPECT_EQ(said.back(), "info string perft stopped");
    EXPECT_EQ(std::count(said.begin(), said.end(), "readyok"), 1);
    for (size_t i = 0; i + 1 < said.size(); ++i)
        EXPECT_TRUE(said[i] == "readyok" || said[i].find(": ") == 4) << said[i];
    for (const std::string& line : said) EXPECT_NE(line.rfind("Nodes searched", 0), 0u) << line;

    // A count that is let run still ends with its total.
    Feed({"position startpos", "go perft 2"});
    session->WaitForSearch();
    EXPECT_EQ(said.back(), "Nodes searched: 400");

    said.clear();
    WithinLimit("go perft 7, quit", [&] {
        Feed({kDeepPerft, "go perft 7"});
        EXPECT_FALSE(session->HandleLine("quit"));
    });
    ASSERT_FALSE(said.empty());
    EXPECT_EQ(said.back(), "info string perft stopped");
}

TEST_F(UciSessionTest, StopEndsASearchOnItsThreadWithALegalMove) {
    Start(/*synchronous=*/false);
    Feed({"position startpos moves d2d4 d7d5", "go depth 8", "isready", "stop"});
    // After `stop` returns the answer is there, exactly once; `isready` was
    // answered while the search ran.
    EXPECT_EQ(BestMoveCount(), 1);
    EXPECT_TRUE(LegalHere(BestMove())) << BestMove();
    EXPECT_NE(std::find(said.begin(), said.end(), "readyok"), said.end());
}

TEST_F(UciSessionTest, PositionAndGoWaitForTheRunningSearch) {
    Start(/*synchronous=*/false);
    Feed({"position startpos", "go depth 2", "position startpos moves e2e4", "go depth 2"});
    session->WaitForSearch();
    EXPECT_EQ(BestMoveCount(), 2);
    EXPECT_TRUE(LegalHere(BestMove())) << BestMove();
}

TEST_F(UciSessionTest, ClosingInTheMiddleOfASearchStopsIt) {
    Start(/*synchronous=*/false);
    Feed({"position startpos", "go depth 8"});
    session.reset();  // stops the search instead of waiting for it
    EXPECT_EQ(BestMoveCount(), 1);
}

} // namespace
