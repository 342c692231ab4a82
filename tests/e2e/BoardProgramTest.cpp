// zelkor-board on the test display: a piece dragged with the mouse, the
// computer's reply, Escape to leave.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/e2e/GameFixture.h"

using namespace zelkor;
using namespace zelkor::testing_support;
using namespace std::chrono_literals;

namespace {

using BoardProgramTest = GameTest;

// A cell of the board in the window: a margin of 12, a border of 24, cells of 40.
struct TCell {
    int X, Y;
};
TCell Cell(char file, int rank) { return {12 + 24 + (file - 'a') * 40, 12 + 24 + (8 - rank) * 40}; }

TEST_F(BoardProgramTest, APieceDraggedWithTheMouseMovesAndTheComputerReplies) {
    auto board = std::make_unique<TGameProcess>(ZELKOR_BOARD_PROGRAM, folder.string(),
                                                std::vector<std::pair<std::string, std::string>>{{"SDL_AUDIODRIVER", "dummy"}});
    auto window = driver.WaitForWindow("Zelkor Board - computer: Black, depth 3", 392, 392, 20s);
    ASSERT_NE(window.Id, 0u) << board->ErrorOutput();
    auto grab = [&](TCell c) { return driver.CaptureRegion(window, c.X + 2, c.Y + 2, 36, 36); };
    auto differs = [](const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
        if (a.size() != b.size()) return true;
        int n = 0;
        for (size_t i = 0; i < a.size(); ++i) n += ColorDistance(a[i], b[i]) > 40;
        return n > 20;
    };
    // Painted: e4 shows a light cell.
    ASSERT_TRUE(TXDriver::WaitUntil([&] { return ColorDistance(driver.Pixel(window, Cell('e', 4).X + 3, Cell('e', 4).Y + 3), 0xC0C0C0) < 8; }, 20s))
        << Keep(window, "board");
    const auto e4 = grab(Cell('e', 4));
    std::vector<std::vector<uint32_t>> black;
    for (int rank : {7, 8})
        for (char file = 'a'; file <= 'h'; ++file) black.push_back(grab(Cell(file, rank)));
    driver.Drag(window, Cell('e', 2).X + 20, Cell('e', 2).Y + 20, Cell('e', 4).X + 20, Cell('e', 4).Y + 20);
    driver.MoveTo(window, 2, 2);
    EXPECT_TRUE(TXDriver::WaitUntil([&] { return differs(grab(Cell('e', 4)), e4); }, 10s)) << Keep(window, "dropped");
    const bool replied = TXDriver::WaitUntil(
        [&] {
            size_t i = 0;
            for (int rank : {7, 8})
                for (char file = 'a'; file <= 'h'; ++file, ++i)
                    if (differs(grab(Cell(file, rank)), black[i])) return true;
            return false;
        },
        30s);
    EXPECT_TRUE(replied) << "the computer never moved: " << Keep(window, "reply");
    driver.Key(window, "Escape");
    EXPECT_EQ(board->Wait(10s), 0) << board->ErrorOutput();
}

// A piece set that is no picture file is refused at once with its name,
// never read without end nor waited on.
TEST_F(BoardProgramTest, APieceSetThatIsNoFileIsRefused) {
    ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0600), 0);
    fs::create_directory(folder / "set");
    struct Case {
        std::string path;
        const char* said;
    };
    for (const Case& c : {Case{(folder / "set").string(), "a folder"}, Case{"/dev/zero", "a device"},
                          Case{(folder / "pipe").string(), "a named pipe"}}) {
        SCOPED_TRACE(c.path);
        TGameProcess board(ZELKOR_BOARD_PROGRAM, folder.string(), {{"SDL_AUDIODRIVER", "dummy"}}, {}, {"--pieces", c.path});
        EXPECT_EQ(board.Wait(10s), 1) << board.ErrorOutput();
        EXPECT_NE(board.ErrorOutput().find(c.path), std::string::npos) << board.ErrorOutput();
        EXPECT_NE(board.ErrorOutput().find(c.said), std::string::npos) << board.ErrorOutput();
    }
}

} // namespace
