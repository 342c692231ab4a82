// zelkor-bench: searches a fixed set of positions, each from a fresh engine
// state, and prints per position and in total the move, the node count, the
// time and the nodes per second.
//
//   zelkor-bench [--depth N] [--positions FILE] [--only I] [--reference]
//   zelkor-bench --expect FILE          exit 1 when a move or node count differs
//   zelkor-bench --write-expect FILE --depths A-B
//
// --reference also runs the engine as first written on each position,
// checks that it chooses the same move with the same nodes, and prints the
// speed ratio of the two.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "chess/ChessBoard.h"
#include "chess/ChessEngine.h"
#include "chess/Fen.h"
#include "tools/reference-engine/ReferenceEngine.h"
#include "tools/uci/UciSession.h"

using namespace zelkor;

namespace {

struct BenchPosition {
    std::string fen;
    std::string name;
    FenPosition position;
};

struct Result {
    std::string move;
    uint64_t nodes = 0;
    double seconds = 0;
};

bool LoadPositions(const std::string& path, std::vector<BenchPosition>& out) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "zelkor-bench: cannot read %s\n", path.c_str());
        return false;
    }
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.empty() || line[0] == '#') continue;
        BenchPosition p;
        const size_t semi = line.find(';');
        p.fen = line.substr(0, semi);
        p.name = semi == std::string::npos ? "" : line.substr(semi + 1);
        p.name.erase(0, p.name.find_first_not_of(' '));
        std::string error;
        if (!ParseFen(p.fen, p.position, error)) {
            std::fprintf(stderr, "zelkor-bench: %s:%d: %s\n", path.c_str(), lineNo, error.c_str());
            return false;
        }
        out.push_back(std::move(p));
    }
    return true;
}

template <class Engine>
Result Search(const BenchPosition& p, int depth) {
    TChessBoard board;
    ApplyFen(board, p.position);
    auto engine = std::make_unique<Engine>();  // a fresh state for every position
    engine->LoadPosition(board.Cells(), board.WhiteToMove(), board.CastlingAllowed(), board.EnPassant());
    const auto start = std::chrono::steady_clock::now();
    const engine::EngineMove m = engine->Think(depth);
    Result r;
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    r.move = UciMoveText(m);
    r.nodes = engine->Nodes();
    return r;
}

double Median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

int RunBench(const std::vector<BenchPosition>& positions, int depth, int only, bool reference) {
    std::printf("depth %d, %zu positions%s\n", depth, only >= 0 ? size_t{1} : positions.size(),
                reference ? ", against the reference engine" : "");
    std::printf("%3s  %-32s %-6s %12s %10s %10s%s\n", "#", "position", "move", "nodes", "ms", "knps",
                reference ? "   ref knps  speed-up" : "");
    uint64_t totalNodes = 0;
    double totalSeconds = 0, totalRefSeconds = 0;
    std::vector<double> times;
    bool mismatch = false;
    for (size_t i = 0; i < positions.size(); ++i) {
        if (only >= 0 && static_cast<size_t>(only) != i) continue;
        const Result r = Search<TChessEngine>(positions[i], depth);
        totalNodes += r.nodes;
        totalSeconds += r.seconds;
        times.push_back(r.seconds);
        std::printf("%3zu  %-32.32s %-6s %12llu %10.1f %10.0f", i, positions[i].name.c_str(), r.move.c_str(),
                    static_cast<unsigned long long>(r.nodes), r.seconds * 1000,
                    r.seconds > 0 ? static_cast<double>(r.nodes) / r.seconds / 1000 : 0.0);
        if (reference) {
            const Result ref = Search<TReferenceEngine>(positions[i], depth);
            totalRefSeconds += ref.seconds;
            std::printf(" %10.0f %9.2fx", ref.seconds > 0 ? static_cast<double>(ref.nodes) / ref.seconds / 1000 : 0.0,
                        r.seconds > 0 ? ref.seconds / r.seconds : 0.0);
            if (ref.move != r.move || ref.nodes != r.nodes) {
                std::printf("  DIFFERS: reference %s %llu", ref.move.c_str(), static_cast<unsigned long long>(ref.nodes));
                mismatch = true;
            }
        }
        std::printf("\n");
    }
    std::printf("total: %llu nodes in %.3f s, %.0f knps; median time per position %.1f ms\n",
                static_cast<unsigned long long>(totalNodes), totalSeconds,
                totalSeconds > 0 ? static_cast<double>(totalNodes) / totalSeconds / 1000 : 0.0, Median(times) * 1000);
    if (reference)
        std::printf("reference: %.3f s, %.0f knps; speed-up %.2fx\n", totalRefSeconds,
                    totalRefSeconds > 0 ? static_cast<double>(totalNodes) / totalRefSeconds / 1000 : 0.0,
                    totalSeconds > 0 ? totalRefSeconds / totalSeconds : 0.0);
    if (mismatch) {
        std::printf("the engines differ\n");
        return 1;
    }
    return 0;
}

// Expected file: one line per depth and position, "depth index move nodes".
int WriteExpect(const std::vector<BenchPosition>& positions, const std::string& path, int from, int to) {
    std::ofstream out(path);
    if (!out) {
        std::fprintf(stderr, "zelkor-bench: cannot write %s\n", path.c_str());
        return 2;
    }
    out << "# depth index move nodes\n";
    for (int d = from; d <= to; ++d)
        for (size_t i = 0; i < positions.size(); ++i) {
            const Result r = Search<TChessEngine>(positions[i], d);
            out << d << ' ' << i << ' ' << r.move << ' ' << r.nodes << '\n';
        }
    return out ? 0 : 2;
}

int CheckExpect(const std::vector<BenchPosition>& positions, const std::string& path) {
    std::ifstream in(path);
    if (!in) {
        std::fprintf(stderr, "zelkor-bench: cannot read %s\n", path.c_str());
        return 2;
    }
    std::string line;
    int checked = 0, differ = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        int depth = 0;
        size_t index = 0;
        char move[16] = {};
        unsigned long long nodes = 0;
        if (std::sscanf(line.c_str(), "%d %zu %15s %llu", &depth, &index, move, &nodes) != 4 ||
            index >= positions.size() || depth < 1 || depth > 8) {
            std::fprintf(stderr, "zelkor-bench: %s: bad line '%s'\n", path.c_str(), line.c_str());
            return 2;
        }
        const Result r = Search<TChessEngine>(positions[index], depth);
        ++checked;
        if (r.move != move || r.nodes != nodes) {
            ++differ;
            std::printf("depth %d position %zu (%s): expected %s %llu, got %s %llu\n", depth, index,
                        positions[index].name.c_str(), move, nodes, r.move.c_str(),
                        static_cast<unsigned long long>(r.nodes));
        }
    }
    std::printf("%d searches checked, %d differ\n", checked, differ);
    return differ == 0 && checked > 0 ? 0 : 1;
}

void Usage() {
    std::fprintf(stderr,
                 "usage: zelkor-bench [--depth N] [--positions FILE] [--only I] [--reference]\n"
                 "       zelkor-bench [--positions FILE] --expect FILE\n"
                 "       zelkor-bench [--positions FILE] --write-expect FILE --depths A-B\n");
}

} // namespace

int main(int argc, char** argv) {
    std::string positionsPath = ZELKOR_BENCH_POSITIONS;
    std::string expect, writeExpect;
    int depth = 5, only = -1, from = 1, to = 5;
    bool reference = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc) {
                Usage();
                std::exit(2);
            }
            return argv[++i];
        };
        if (arg == "--depth") {
            depth = std::atoi(next().c_str());
        } else if (arg == "--positions") {
            positionsPath = next();
        } else if (arg == "--only") {
            only = std::atoi(next().c_str());
        } else if (arg == "--reference") {
            reference = true;
        } else if (arg == "--expect") {
            expect = next();
        } else if (arg == "--write-expect") {
            writeExpect = next();
        } else if (arg == "--depths") {
            if (std::sscanf(next().c_str(), "%d-%d", &from, &to) != 2) {
                Usage();
                return 2;
            }
        } else {
            Usage();
            return 2;
        }
    }
    if (depth < 1 || depth > 8 || from < 1 || to > 8 || from > to) {
        std::fprintf(stderr, "zelkor-bench: depths go from 1 to 8\n");
        return 2;
    }
    std::vector<BenchPosition> positions;
    if (!LoadPositions(positionsPath, positions)) return 2;
    if (!writeExpect.empty()) return WriteExpect(positions, writeExpect, from, to);
    if (!expect.empty()) return CheckExpect(positions, expect);
    return RunBench(positions, depth, only, reference);
}
