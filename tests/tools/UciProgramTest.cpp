// The built zelkor-uci program, driven through pipes the way a chess GUI
// drives it: many short games sent quickly, with `stop` and `isready` right
// behind `go` while the search thread writes its answer.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "chess/ChessBoard.h"
#include "chess/Fen.h"

extern char** environ;

using namespace zelkor;

namespace {

// How long one answer may take to arrive. A search of depth 2 takes
// milliseconds even under a sanitizer on a busy machine; the limit only
// turns a program that stopped answering into a failure instead of a hang.
constexpr auto kAnswerLimit = std::chrono::seconds(120);

// zelkor-uci running with its standard input and output on pipes; its
// standard error stays the test's own, so a sanitizer's report shows.
class UciProgram {
public:
    UciProgram() {
        signal(SIGPIPE, SIG_IGN);  // a program that died shows as a failed write
        int in[2] = {-1, -1}, out[2] = {-1, -1};
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
            ADD_FAILURE() << "pipe: " << errno;
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        char* argv[] = {const_cast<char*>(ZELKOR_UCI_TOOL), nullptr};
        const int error = posix_spawn(&pid_, ZELKOR_UCI_TOOL, &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        toProgram_ = in[1];
        fromProgram_ = out[0];
        if (error != 0) {
            ADD_FAILURE() << "cannot start " << ZELKOR_UCI_TOOL << ": " << error;
            pid_ = -1;
        }
    }
    ~UciProgram() {
        if (toProgram_ >= 0) close(toProgram_);
        if (fromProgram_ >= 0) close(fromProgram_);
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    UciProgram(const UciProgram&) = delete;
    UciProgram& operator=(const UciProgram&) = delete;

    bool Running() const { return pid_ > 0; }

    // Writes the lines in one piece, as a GUI that sends quickly does.
    bool Send(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines) text += line + '\n';
        size_t done = 0;
        while (done < text.size()) {
            const ssize_t n = write(toProgram_, text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            done += static_cast<size_t>(n);
        }
        return true;
    }

    // The next line of output; nothing at the end of the output or when
    // none came within kAnswerLimit, or by `deadline` when one is given
    // (then `timedOut` is set).
    std::optional<std::string> ReadLine(std::optional<std::chrono::steady_clock::time_point> deadline = {}) {
        const auto until = deadline.value_or(std::chrono::steady_clock::now() + kAnswerLimit);
        for (;;) {
            const size_t end = buffer_.find('\n');
            if (end != std::string::npos) {
                std::string line = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                return line;
            }
            pollfd p{fromProgram_, POLLIN, 0};
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
            const int ready = poll(&p, 1, static_cast<int>(std::max<int64_t>(left.count(), 0)));
            if (ready < 0 && errno == EINTR) continue;
            if (ready == 0) {
                timedOut = true;
                return std::nullopt;
            }
            char chunk[4096];
            const ssize_t n = read(fromProgram_, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return std::nullopt;
            buffer_.append(chunk, static_cast<size_t>(n));
        }
    }

    // Closes its input and waits for it to end; the exit status, or -1.
    int Finish() {
        close(toProgram_);
        toProgram_ = -1;
        int status = 0;
        const pid_t pid = pid_;
        pid_ = -1;
        if (waitpid(pid, &status, 0) != pid) return -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    bool timedOut = false;

private:
    pid_t pid_ = -1;
    int toProgram_ = -1;
    int fromProgram_ = -1;
    std::string buffer_;
};

// Standard chess on a fresh board set up from a FEN: it has no record of
// earlier positions, so the board's own repetition rule stays out of the way
// and only the squares, side, rights and en-passant square count.
class Judge {
public:
    explicit Judge(const std::string& fen) {
        FenPosition position;
        std::string error;
        EXPECT_TRUE(ParseFen(fen, position, error)) << error << ": " << fen;
        ApplyFen(board_, position);
    }

    // The moves in the protocol's text, a queen for a promotion.
    std::vector<std::string> LegalMoves() const {
        std::vector<std::string> moves;
        for (int a = 1; a <= 64; ++a)
            for (int b = 1; b <= 64; ++b) {
                const auto from = static_cast<Square>(a), to = static_cast<Square>(b);
                if (board_.IsLegalMove(from, to))
                    moves.push_back(SquareName(from) + SquareName(to) + (Promotes(from, to) ? "q" : ""));
            }
        return moves;
    }

    bool HasMove() const { return board_.HasLegalMove(); }

    // A legal move with its promotion letter exactly when a pawn reaches
    // the last rank.
    bool Legal(std::string_view move) const {
        if (move.size() != 4 && move.size() != 5) return false;
        const Square from = SquareFromName(move.substr(0, 2)), to = SquareFromName(move.substr(2, 2));
        if (from == Square::None || to == Square::None || !board_.IsLegalMove(from, to)) return false;
        if (!Promotes(from, to)) return move.size() == 4;
        return move.size() == 5 && std::string_view("qrbn").find(move[4]) != std::string_view::npos;
    }

    // The position after a legal move, as FEN.
    std::string After(std::string_view move) {
        board_.SetPromotionPiece(move.size() == 5 ? move[4] : 'q');
        EXPECT_TRUE(board_.ExecuteMove(SquareFromName(move.substr(0, 2)), SquareFromName(move.substr(2, 2)))) << move;
        return BoardToFen(board_);
    }

private:
    bool Promotes(Square from, Square to) const {
        const char piece = board_.PieceAt(from);
        return (piece == 'P' && RankOf(to) == 8) || (piece == 'p' && RankOf(to) == 1);
    }

    TChessBoard board_;
};

std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    size_t at = 0;
    while (at <= line.size()) {
        const size_t end = std::min(line.find(' ', at), line.size());
        words.push_back(line.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

bool IsNumber(const std::string& word, bool mayBeNegative) {
    const size_t digits = mayBeNegative && !word.empty() && word[0] == '-' ? 1 : 0;
    return word.size() > digits && word.find_first_not_of("0123456789", digits) == std::string::npos;
}

// "e2e4", "e7e8q".
bool IsMoveText(const std::string& word) {
    if (word.size() != 4 && (word.size() != 5 || std::string_view("qrbn").find(word[4]) == std::string_view::npos))
        return false;
    return word[0] >= 'a' && word[0] <= 'h' && word[1] >= '1' && word[1] <= '8' && word[2] >= 'a' && word[2] <= 'h' &&
           word[3] >= '1' && word[3] <= '8';
}

// What the program wrote for one `go`, read line by line: whole lines of
// the protocol, nothing cut short, run together or written twice.
class AnswerCheck {
public:
    // Takes one line; false with `error` set when it cannot belong here.
    bool Take(const std::string& line) {
        const std::vector<std::string> w = Words(line);
        if (line == "readyok") {
            ++readyOks;
        } else if (!move.empty()) {
            error = "more after the bestmove";
        } else if (line == "info depth 0 score cp 0") {
            if (depth_ != 0) error = "a search's end in the middle of its iterations";
        } else if (w.size() >= 13 && w[0] == "info" && w[1] == "depth" && w[3] == "score" && w[4] == "cp" &&
                   w[6] == "nodes" && w[8] == "nps" && w[10] == "time" && w[12] == "pv") {
            for (size_t i : {5, 7, 9, 11})
                if (!IsNumber(w[i], i == 5)) error = "a garbled number";
            for (size_t i = 13; i < w.size(); ++i)
                if (!IsMoveText(w[i])) error = "a garbled move";
            // Each iteration once, one deeper than the last.
            if (w[2] != std::to_string(depth_ + 1)) error = "an iteration out of order";
            ++depth_;
            pvMove_ = w.size() > 13 ? w[13] : "";
        } else if (w.size() == 2 && w[0] == "bestmove" && (IsMoveText(w[1]) || w[1] == "0000")) {
            move = w[1];
            // The move of the deepest iteration, unless `stop` came first.
            if (!pvMove_.empty() && move != pvMove_) error = "a bestmove other than the search's";
        } else {
            error = "a garbled line";
        }
        return error.empty();
    }

    std::string move;  // empty until the bestmove has come
    int readyOks = 0;
    std::string error;

private:
    int depth_ = 0;
    std::string pvMove_;
};

// A GUI playing many short games as fast as the program answers: it sends
// the next position and `go` the moment a bestmove arrives, and sometimes
// follows `go` at once with `isready` lines and `stop`, which the program
// reads while its search thread writes. Every `go` must get exactly one
// bestmove, the search's own, legal in the position it was asked for, and
// no line may come out garbled, lost or twice.
TEST(UciProgram, AnswersEveryGoOnceInOrderWithALegalMoveWhileCommandsKeepComing) {
    UciProgram program;
    ASSERT_TRUE(program.Running());
    std::mt19937 random(20240611);
    std::vector<std::string> transcript;  // the last exchange, for a failure's message
    int searches = 0;
    int bestMoves = 0;
    int readyOwed = 0;

    auto Ask = [&](const std::string& moves) {
        std::vector<std::string> lines = {"position startpos" + (moves.empty() ? "" : " moves" + moves),
                                          "go depth " + std::to_string(1 + random() % 2)};
        const int ready = static_cast<int>(random() % 10);
        lines.insert(lines.end(), static_cast<size_t>(ready), "isready");
        if (random() % 3 == 0) lines.push_back("stop");
        transcript.clear();
        for (const std::string& line : lines) transcript.push_back("> " + line);
        ++searches;
        readyOwed += ready;
        return program.Send(lines);
    };
    auto Trail = [&] { return ::testing::PrintToString(transcript); };
    // Reads until the bestmove (when one is awaited) and every readyok owed
    // have come; returns the move.
    auto Collect = [&](bool awaitBestMove) -> std::optional<std::string> {
        AnswerCheck answer;
        while ((awaitBestMove && answer.move.empty()) || answer.readyOks < readyOwed) {
            const std::optional<std::string> line = program.ReadLine();
            if (!line) {
                ADD_FAILURE() << (program.timedOut ? "no answer came" : "the output ended") << " after:\n" << Trail();
                return std::nullopt;
            }
            transcript.push_back("< " + *line);
            if (!answer.Take(*line) || (!awaitBestMove && !answer.move.empty())) {
                ADD_FAILURE() << (answer.error.empty() ? "a bestmove no go asked for" : answer.error) << ":\n"
                              << Trail();
                return std::nullopt;
            }
        }
        readyOwed = 0;
        bestMoves += !answer.move.empty();
        return answer.move;
    };

    constexpr int kGames = 200;
    constexpr int kPlies = 24;
    for (int game = 0; game < kGames; ++game) {
        ASSERT_TRUE(program.Send({"ucinewgame"}));
        std::string fen(StartFen);
        std::string moves;
        bool asked = false;  // whether this position's `go` has been sent
        // A few random moves first, so that the games differ.
        const int opening = static_cast<int>(random() % 5);
        for (int ply = 0; ply < kPlies; ++ply) {
            Judge judge(fen);
            if (ply < opening) {
                const std::vector<std::string> legal = judge.LegalMoves();
                if (legal.empty()) break;
                const std::string move = legal[random() % legal.size()];
                fen = judge.After(move);
                moves += " " + move;
                continue;
            }
            if (!asked) {
                ASSERT_TRUE(Ask(moves));
            }
            const std::optional<std::string> answer = Collect(true);
            ASSERT_TRUE(answer);
            asked = false;
            if (!judge.HasMove()) {
                EXPECT_EQ(*answer, "0000") << "mate or stalemate in " << fen << ":\n" << Trail();
                break;
            }
            const std::string sent = moves;
            moves += " " + *answer;
            // The next request goes out the moment the answer is in, before
            // the answer is judged.
            if (ply + 1 < kPlies) {
                ASSERT_TRUE(Ask(moves));
                asked = true;
            }
            ASSERT_TRUE(judge.Legal(*answer)) << "no legal move in " << fen << " (startpos moves" << sent
                                              << "):\n" << Trail();
            fen = judge.After(*answer);
        }
    }
    // Nothing more may come: no late or repeated bestmove.
    transcript = {"> isready"};
    readyOwed = 1;
    ASSERT_TRUE(program.Send({"isready"}));
    ASSERT_TRUE(Collect(false));
    ASSERT_TRUE(program.Send({"quit"}));
    while (const std::optional<std::string> line = program.ReadLine()) ADD_FAILURE() << "after quit: " << *line;
    ASSERT_FALSE(program.timedOut) << "the program did not end after quit";
    EXPECT_EQ(program.Finish(), 0);
    EXPECT_EQ(bestMoves, searches);
}

// A perft from a position where it counts for hours: `isready` is answered
// while it runs, `stop` ends it with a note instead of the total, and `quit`
// ends the program. Every answer has kAnswerLimit to come, counted from the
// request, however many root-move lines come meanwhile.
TEST(UciProgram, PerftGivesWayToIsreadyStopAndQuit) {
    UciProgram program;
    ASSERT_TRUE(program.Running());
    const std::string deep = "position fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";
    // Reads up to the line `expected`; only root-move counts may come
    // before it, and the count's summary when `expected` is its total.
    auto Await = [&](const std::string& expected) {
        const auto deadline = std::chrono::steady_clock::now() + kAnswerLimit;
        const bool total = expected.rfind("Nodes searched: ", 0) == 0;
        while (const std::optional<std::string> line = program.ReadLine(deadline)) {
            if (*line == expected) return true;
            const bool summary = line->rfind("info string perft ", 0) == 0 && *line != "info string perft stopped";
            if (line->find(": ") != 4 && !(total && summary)) {
                ADD_FAILURE() << "waiting for '" << expected << "': " << *line;
                return false;
            }
        }
        ADD_FAILURE() << "'" << expected << "' did not come" << (program.timedOut ? " in time" : "");
        return false;
    };

    ASSERT_TRUE(program.Send({deep, "go perft 7", "isready"}));
    ASSERT_TRUE(Await("readyok"));
    ASSERT_TRUE(program.Send({"stop"}));
    ASSERT_TRUE(Await("info string perft stopped"));
    // Nothing more of that count; the program answers as before.
    ASSERT_TRUE(program.Send({"isready", "position startpos", "go perft 1"}));
    ASSERT_EQ(program.ReadLine(), "readyok");
    ASSERT_TRUE(Await("Nodes searched: 20"));

    ASSERT_TRUE(program.Send({deep, "go perft 7", "quit"}));
    const auto deadline = std::chrono::steady_clock::now() + kAnswerLimit;
    while (const std::optional<std::string> line = program.ReadLine(deadline))
        EXPECT_TRUE(*line == "info string perft stopped" || line->find(": ") == 4) << "after quit: " << *line;
    ASSERT_FALSE(program.timedOut) << "the program did not end after quit";
    EXPECT_EQ(program.Finish(), 0);
}

} // namespace
