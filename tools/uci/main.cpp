// zelkor-uci: the Zelkor Chess engine for UCI chess programs.
// Reads protocol lines on standard input, answers on standard output.

#include <iostream>
#include <string>

#include "tools/uci/UciSession.h"

int main() {
    std::ios::sync_with_stdio(false);
    // Answers come from this thread and from the session's search thread,
    // one at a time under the session's output lock. Left tied, std::cin
    // would flush std::cout before every read, from this thread and outside
    // that lock, while the search thread writes into the same buffer; lines
    // would come out twice, run together or not at all.
    std::cin.tie(nullptr);
    zelkor::UciSession session([](const std::string& line) {
        // The whole line with its end in one write, then out at once.
        std::string text;
        text.reserve(line.size() + 1);
        text += line;
        text += '\n';
        std::cout.write(text.data(), static_cast<std::streamsize>(text.size()));
        std::cout.flush();
    });
    std::string line;
    while (std::getline(std::cin, line))
        if (!session.HandleLine(line)) return 0;
    session.WaitForSearch();
    return 0;
}
