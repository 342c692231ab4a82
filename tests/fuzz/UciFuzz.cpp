// Arbitrary protocol lines fed to a UCI session (searches kept shallow).

#include <cstdint>
#include <string>
#include <string_view>

#include "tools/uci/UciSession.h"

using namespace zelkor;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    UciSession::Options options;
    options.Synchronous = true;
    options.DefaultDepth = 1;
    options.MaxDepth = 2;
    options.MaxPerftDepth = 2;
    size_t out = 0;
    UciSession session([&](const std::string& line) { out += line.size(); }, options);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        if (!session.HandleLine(text.substr(start, end - start))) break;
        start = end + 1;
    }
    return 0;
}
