// zelkor-uci: the Zelkor Chess engine for UCI chess programs.
// Reads protocol lines on standard input, answers on standard output.

#include <iostream>
#include <string>

#include "tools/uci/UciSession.h"

int main() {
    std::ios::sync_with_stdio(false);
    zelkor::UciSession session([](const std::string& line) { std::cout << line << std::endl; });
    std::string line;
    while (std::getline(std::cin, line))
        if (!session.HandleLine(line)) return 0;
    session.WaitForSearch();
    return 0;
}
