#include "tools/uci/UciSession.h"

#include <chrono>
#include <charconv>
#include <vector>

#include "chess/Fen.h"

namespace zelkor {

namespace {

std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r')) ++i;
        const size_t start = i;
        while (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r') ++i;
        if (i > start) words.push_back(text.substr(start, i - start));
    }
    return words;
}

bool ToInt(std::string_view s, int& value) {
    if (s.empty() || s.size() > 9) return false;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), value);
    return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

std::string Join(const std::vector<std::string_view>& words, size_t from, size_t to) {
    std::string out;
    for (size_t i = from; i < to && i < words.size(); ++i) {
        if (!out.empty()) out += ' ';
        out += words[i];
    }
    return out;
}

// A move word: four square letters and an optional promotion letter.
bool ParseMoveWord(std::string_view word, Square& from, Square& to, char& promotion) {
    if (word.size() != 4 && word.size() != 5) return false;
    from = SquareFromName(word.substr(0, 2));
    to = SquareFromName(word.substr(2, 2));
    promotion = 'q';
    if (word.size() == 5) {
        const char p = ToLowerLetter(word[4]);
        if (p != 'q' && p != 'r' && p != 'b' && p != 'n') return false;
        promotion = p;
    }
    return from != Square::None && to != Square::None;
}

} // namespace

std::string UciMoveText(engine::EngineMove m) {
    std::string s = SquareName(static_cast<Square>(m.From + 1)) + SquareName(static_cast<Square>(m.To + 1));
    if (m.Flags & engine::mfPromotion) s += "?nbrq"[m.Promote & 7];
    return s;
}

UciSession::UciSession(Output out) : UciSession(std::move(out), Options{}) {}

UciSession::UciSession(Output out, Options options) : out_(std::move(out)), options_(options) {}

UciSession::~UciSession() { StopSearch(); }

void UciSession::Say(const std::string& line) {
    std::lock_guard lock(outMutex_);
    out_(line);
}

bool UciSession::HandleLine(std::string_view line) {
    const auto words = Words(line);
    if (words.empty()) return true;
    const std::string_view command = words[0];
    const size_t argsAt = line.find(command) + command.size();
    const std::string_view args = line.substr(argsAt);

    if (command == "uci") {
        Say("id name Zelkor Chess");
        Say("id author the Zelkor Chess developers");
        Say("uciok");
    } else if (command == "isready") {
        Say("readyok");
    } else if (command == "ucinewgame") {
        StopSearch();
        engine_.Reset();
        board_.ResetBoard();
    } else if (command == "position") {
        WaitForSearch();  // a search runs until it ends or `stop` comes
        Position(args);
    } else if (command == "go") {
        WaitForSearch();
        Go(args);
    } else if (command == "stop") {
        StopSearch();
    } else if (command == "quit") {
        StopSearch();
        return false;
    } else if (command == "setoption" || command == "debug" || command == "ponderhit" || command == "register") {
        // Nothing to set.
    } else {
        Say("info string unknown command: " + std::string(command.substr(0, 64)));
    }
    return true;
}

void UciSession::Position(std::string_view args) {
    const auto words = Words(args);
    size_t movesAt = words.size();
    for (size_t i = 0; i < words.size(); ++i)
        if (words[i] == "moves") {
            movesAt = i;
            break;
        }

    FenPosition start;
    std::string error;
    if (!words.empty() && words[0] == "startpos") {
        ParseFen(StartFen, start, error);
    } else if (!words.empty() && words[0] == "fen") {
        if (!ParseFen(Join(words, 1, movesAt), start, error)) {
            Say("info string bad FEN (" + error + "); the position is unchanged");
            return;
        }
    } else {
        Say("info string position needs 'startpos' or 'fen'; the position is unchanged");
        return;
    }
    ApplyFen(board_, start);

    for (size_t i = movesAt + 1; i < words.size(); ++i) {
        Square from = Square::None, to = Square::None;
        char promotion = 'q';
        if (!ParseMoveWord(words[i], from, to, promotion)) {
            Say("info string bad move '" + std::string(words[i].substr(0, 16)) +
                "'; the position stays after the last good move");
            return;
        }
        ForgetRepetitions();
        board_.SetPromotionPiece(promotion);
        if (!board_.ExecuteMove(from, to)) {
            Say("info string illegal move '" + std::string(words[i]) + "'; the position stays after the last good move");
            return;
        }
    }
}

void UciSession::ForgetRepetitions() {
    if (!board_.IsThreefoldRepetition()) return;
    FenPosition here;
    here.Placement = board_.Position();
    here.WhiteToMove = board_.WhiteToMove();
    here.Castling = board_.CastlingAllowed();
    here.EnPassant = board_.EnPassant();
    ApplyFen(board_, here);
}

void UciSession::Go(std::string_view args) {
    const auto words = Words(args);
    int depth = options_.DefaultDepth;
    for (size_t i = 0; i < words.size(); ++i) {
        int value = 0;
        if (words[i] == "perft") {
            if (i + 1 < words.size() && ToInt(words[i + 1], value) && value >= 1) {
                const int perftDepth = std::min(value, options_.MaxPerftDepth);
                engine_.LoadPosition(board_.Cells(), board_.WhiteToMove(), board_.CastlingAllowed(),
                                     board_.EnPassant());
                stop_ = false;
                if (options_.Synchronous) {
                    Perft(perftDepth);
                } else {
                    searcher_ = std::thread([this, perftDepth] { Perft(perftDepth); });
                }
            } else {
                Say("info string go perft needs a depth of 1 or more");
            }
            return;
        }
        if (words[i] == "depth" && i + 1 < words.size() && ToInt(words[i + 1], value)) depth = value;
    }
    depth = std::clamp(depth, 1, std::min(8, options_.MaxDepth));

    ForgetRepetitions();
    engine_.LoadPosition(board_.Cells(), board_.WhiteToMove(), board_.CastlingAllowed(), board_.EnPassant());
    // The board knows what it accepts: no legal move means mate or
    // stalemate, and no best move.
    if (!board_.HasLegalMove()) {
        Say("info depth 0 score cp 0");
        Say("bestmove 0000");
        return;
    }
    stop_ = false;
    if (options_.Synchronous) {
        Search(depth);
    } else {
        searcher_ = std::thread([this, depth] { Search(depth); });
    }
}

void UciSession::Search(int depth) {
    const auto start = std::chrono::steady_clock::now();
    engine::EngineMove best{};
    bool haveBest = false;
    engine_.Think(depth, &stop_, [&](const SearchIteration& it) {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
                            .count();
        const uint64_t nps = ms > 0 ? it.Nodes * 1000 / static_cast<uint64_t>(ms) : it.Nodes * 1000;
        std::string line = "info depth " + std::to_string(it.Depth) + " score cp " + std::to_string(it.Score) +
                           " nodes " + std::to_string(it.Nodes) + " nps " + std::to_string(nps) + " time " +
                           std::to_string(ms) + " pv";
        for (int i = 0; i < it.PvLength; ++i) line += " " + UciMoveText(it.Pv[i]);
        Say(line);
        if (it.PvLength > 0) {
            best = it.Pv[0];
            haveBest = true;
        }
    });
    // A search stopped before its first iteration ended still answers with
    // a legal move: the first one the board accepts (a pawn that reaches the
    // last rank becomes a queen).
    if (!haveBest) {
        best = engine_.BestMove();
        for (int a = 1; a <= 64 && !haveBest; ++a)
            for (int b = 1; b <= 64 && !haveBest; ++b) {
                const auto from = static_cast<Square>(a), to = static_cast<Square>(b);
                if (!board_.IsLegalMove(from, to)) continue;
                best = engine::EngineMove{static_cast<uint8_t>(a - 1), static_cast<uint8_t>(b - 1), 0, 0};
                const char piece = board_.PieceAt(from);
                if ((piece == 'P' && RankOf(to) == 8) || (piece == 'p' && RankOf(to) == 1)) {
                    best.Promote = 4;
                    best.Flags = engine::mfPromotion;
                }
                haveBest = true;
            }
    }
    Say("bestmove " + UciMoveText(best));
}

void UciSession::Perft(int depth) {
    const auto start = std::chrono::steady_clock::now();
    engine_.GenerateMoves();
    // The root list is re-read after each subtree: deeper plies never
    // write below the root's end.
    uint64_t total = 0;
    for (int i = engine_.ListBegin(); i < engine_.ListEnd(); ++i) {
        const engine::EngineMove m = engine_.ListEntry(i).Move;
        if (!engine_.DoMove(m)) continue;
        const uint64_t count = PerftNodes(depth - 1);
        engine_.UndoMove();
        if (stop_) break;  // this move's count is not whole
        Say(UciMoveText(m) + ": " + std::to_string(count));
        total += count;
    }
    if (stop_) {
        Say("info string perft stopped");
        return;
    }
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    Say("info string perft " + std::to_string(depth) + " nodes " + std::to_string(total) + " time " +
        std::to_string(ms));
    Say("Nodes searched: " + std::to_string(total));
}

uint64_t UciSession::PerftNodes(int depth) {
    // The last two plies are the engine's own count: some ten thousand
    // moves at most, milliseconds, so `stop` never waits long.
    if (depth <= 2) return engine_.Perft(depth);
    engine_.GenerateMoves();
    uint64_t count = 0;
    for (int i = engine_.ListBegin(); i < engine_.ListEnd(); ++i) {
        if (stop_.load(std::memory_order_relaxed)) break;
        if (!engine_.DoMove(engine_.ListEntry(i).Move)) continue;
        count += PerftNodes(depth - 1);
        engine_.UndoMove();
    }
    return count;
}

void UciSession::StopSearch() {
    if (searcher_.joinable()) {
        stop_ = true;
        searcher_.join();
    }
}

void UciSession::WaitForSearch() {
    if (searcher_.joinable()) searcher_.join();
}

} // namespace zelkor
