// The game's drawing with hostile content: each record of the archive
// damaged in turn, and a description of 100,000 entries. What cannot be
// read is named and left out; every screen still draws, without a crash.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>

#include "assets/AssetDb.h"
#include "render/GfxLoader.h"
#include "chess/ChessBoard.h"
#include "game/logic/GameFlow.h"
#include "game/Graph.h"
#include "game/WindowsView.h"
#include "tests/gfx/DrawingFixture.h"
#include "tools/pack/ArchiveWriter.h"

using namespace zelkor;
using namespace zelkor::game;
using namespace zelkor::testing_support;
namespace fs = std::filesystem;

namespace {

class HostileContentTest : public DeviceTest {
protected:
    HostileContentTest() : DeviceTest(1024, 768) {}

    void SetUp() override {
        DeviceTest::SetUp();
        folder = fs::temp_directory_path() / ("zelkor-hostile-" + std::to_string(getpid()));
        fs::create_directories(folder);
        fs::copy_file(fs::path(ZELKOR_DATA_DIR) / "zelkor.def", folder / "zelkor.def", fs::copy_options::overwrite_existing);
    }
    void TearDown() override { fs::remove_all(folder); }

    // Fresh image and font lists on the device.
    struct TLists {
        TGfxImages Images;
        TGfxFonts Fonts;
    };
    std::unique_ptr<TLists> NewLists() {
        auto lists = std::make_unique<TLists>();
        lists->Images.SetPublisher(&device);
        lists->Fonts.SetPublisher(&device);
        lists->Fonts.SetCanvas(&canvas);
        return lists;
    }

    // Loads the "Content" group from the folder's files.
    bool Load(TLists& lists, std::vector<std::string>& problems) {
        TAssetDb archive;
        TGfxLoader loader;
        loader.SetImages(&lists.Images);
        loader.SetFonts(&lists.Fonts);
        loader.SetArchive(&archive);
        loader.SetPublisher(&device);
        loader.SetXMLDescFile((folder / "zelkor.def").string());
        archive.SetPassword("qzmb");
        archive.SetOpenMode(TOpenModes::opReadOnly);
        const bool loaded = loader.Load("Content");
        problems = loader.Problems();
        return loaded;
    }

    // Every screen and window, drawn once each.
    void DrawEverything(TLists& lists) {
        TSceneState s;
        SetDefaultOptions(s);
        TChessBoard board;
        TWindowTimer clock;
        TGameFlow flow(s, board, clock);
        TGraph graph(s, canvas, lists.Images, lists.Fonts);
        TWindowsView windows(s, graph, canvas);
        graph.OnDrawWindow = [&] { windows.Draw(); };
        flow.ResetGame();
        board.SetComputerPlaysBlack(false);
        struct Screen {
            ScreenMode Mode;
            OpenWindow Window;
            int Location, Classic;
            GameState State;
        } screens[] = {
            {ScreenMode::Menu, OpenWindow::MainMenu, 1, 1, GameState::YourMove},
            {ScreenMode::Menu, OpenWindow::OptionsList, 1, 1, GameState::YourMove},
            {ScreenMode::Menu, OpenWindow::QuitConfirm, 1, 1, GameState::YourMove},
            {ScreenMode::Help, OpenWindow::HelpBar, 1, 1, GameState::YourMove},
            {ScreenMode::Game, OpenWindow::NoWindow, 1, 2, GameState::YourMove},
            {ScreenMode::Game, OpenWindow::GameMenu, 2, 3, GameState::GameOver},
            {ScreenMode::Game, OpenWindow::NoWindow, 2, 1, GameState::ChoosePromotion},
        };
        s.SelectedSquare = 53;
        s.SelectedPiece = 1;
        for (const Screen& screen : screens) {
            s.Screen = screen.Mode;
            s.Window = screen.Window;
            s.Options.Location = screen.Location;
            s.Options.ClassicBoard = screen.Classic;
            s.State = screen.State;
            for (int i = 0; i < 3; ++i) flow.TimerProcess();
            Frame([&] { graph.DeviceRender(); });
        }
        board.StopThinking();
    }

    fs::path folder;
};

} // namespace

TEST_F(HostileContentTest, EachRecordDamagedInTurnIsNamedAndLeftOut) {
    TAssetDb original;
    original.SetFileName((fs::path(ZELKOR_DATA_DIR) / "zelkor.dat").string());
    original.SetOpenMode(TOpenModes::opReadOnly);
    ASSERT_TRUE(original.Open()) << original.LastError();
    ASSERT_GT(original.RecordCount(), 10);
    for (int i = 0; i < original.RecordCount(); ++i) {
        const TAssetRecord& record = original.Record(i);
        SCOPED_TRACE(record.Key);
        fs::copy_file(fs::path(ZELKOR_DATA_DIR) / "zelkor.dat", folder / "zelkor.dat", fs::copy_options::overwrite_existing);
        {
            std::fstream dat(folder / "zelkor.dat", std::ios::in | std::ios::out | std::ios::binary);
            const std::streamoff at = std::streamoff(record.Offset) + TAssetDb::RecordHeaderSize + record.StoredSize / 2;
            dat.seekg(at);
            char c = 0;
            dat.get(c);
            dat.seekp(at);
            dat.put(char(c ^ 0x55));
        }
        std::vector<std::string> problems;
        auto lists = NewLists();
        Load(*lists, problems);
        bool named = false;
        for (const std::string& p : problems) named |= p.find(record.Key) != std::string::npos;
        EXPECT_TRUE(named) << "the damaged record is not named among " << problems.size() << " problems";
        EXPECT_LE(problems.size(), 1u) << "only the damaged record fails";
        DrawEverything(*lists);
        ASSERT_FALSE(HasFatalFailure());
    }
}

TEST_F(HostileContentTest, ADescriptionOfAHundredThousandEntriesEndsInGoodTime) {
    fs::copy_file(fs::path(ZELKOR_DATA_DIR) / "zelkor.dat", folder / "zelkor.dat", fs::copy_options::overwrite_existing);
    {
        std::ofstream def(folder / "zelkor.def");
        def << "<?xml version=\"1.0\"?>\n<resources>\n  <group name=\"Content\">\n";
        for (int i = 0; i < 100000; ++i)
            def << "    <image name=\"i" << i << "\" source=\"zelkor.dat\" key=\"missing_" << i << "\"/>\n";
        def << "  </group>\n</resources>\n";
    }
    std::vector<std::string> problems;
    auto lists = NewLists();
    const auto t0 = std::chrono::steady_clock::now();
    Load(*lists, problems);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    // Not a timing test: a generous bound that only a hang or a quadratic walk would pass.
    EXPECT_LT(seconds, 120.0);
    EXPECT_EQ(problems.size(), 100000u);
    DrawEverything(*lists);
}

// The description or the archive replaced by something that is no file:
// refused at once, named with what it is, and every screen still draws.
TEST_F(HostileContentTest, ContentThatIsNoFileIsRefusedAtOnceAndNamed) {
    struct Kind {
        const char* name;
        const char* said;
        void (*make)(const fs::path&);
    };
    const Kind kinds[] = {
        {"named pipe", "a named pipe", [](const fs::path& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); }},
        {"folder", "a folder", [](const fs::path& p) { fs::create_directory(p); }},
        {"device", "a device", [](const fs::path& p) { fs::create_symlink("/dev/zero", p); }},
    };
    for (const char* file : {"zelkor.def", "zelkor.dat"}) {
        for (const Kind& kind : kinds) {
            SCOPED_TRACE(std::string(file) + " as a " + kind.name);
            fs::copy_file(fs::path(ZELKOR_DATA_DIR) / "zelkor.def", folder / "zelkor.def", fs::copy_options::overwrite_existing);
            fs::copy_file(fs::path(ZELKOR_DATA_DIR) / "zelkor.dat", folder / "zelkor.dat", fs::copy_options::overwrite_existing);
            fs::remove(folder / file);
            kind.make(folder / file);
            ASSERT_FALSE(HasFatalFailure());
            std::vector<std::string> problems;
            auto lists = NewLists();
            Load(*lists, problems);
            ASSERT_FALSE(problems.empty());
            EXPECT_NE(problems.front().find(file), std::string::npos) << problems.front();
            EXPECT_NE(problems.front().find(kind.said), std::string::npos) << problems.front();
            EXPECT_EQ(lists->Images.Count(), 0);
            DrawEverything(*lists);
            fs::remove_all(folder / file);
        }
    }
}

// Small files that would cost much: one entry listed a thousand times is
// loaded once, and an archive of 200,000 tiny records is not walked again
// for every entry.
TEST_F(HostileContentTest, RepeatedEntriesAndHugeTablesCostLittle) {
    fs::copy_file(fs::path(ZELKOR_DATA_DIR) / "zelkor.dat", folder / "zelkor.dat", fs::copy_options::overwrite_existing);
    {
        std::ofstream def(folder / "zelkor.def");
        def << "<resources><group name=\"Content\">\n";
        for (int i = 0; i < 1000; ++i) def << "<image name=\"button\" source=\"zelkor.dat\" key=\"button\"/>\n";
        def << "<image name=\"button\" source=\"zelkor.dat\" key=\"timer\"/>\n";  // another entry of that name
        def << "</group></resources>\n";
    }
    std::vector<std::string> problems;
    auto lists = NewLists();
    Load(*lists, problems);
    EXPECT_EQ(lists->Images.Count(), 2) << "the repeated entry once, the other entry of that name once";
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_NE(problems[0].find("listed again"), std::string::npos) << problems[0];

    {
        TArchiveWriter writer;
        writer.SetIvSource(TArchiveWriter::SeededIvs("many"));
        for (int i = 0; i < 200000; ++i) {
            TArchiveEntry e;
            e.Key = "r" + std::to_string(i);
            e.Bytes = {uint8_t(i)};
            writer.Add(std::move(e));
        }
        std::string error;
        ASSERT_TRUE(writer.WriteFile((folder / "many.dat").string(), error)) << error;
        std::ofstream def(folder / "zelkor.def");
        def << "<resources><group name=\"Content\">\n";
        for (int i = 0; i < 200000; i += 100) def << "<image name=\"i" << i << "\" source=\"many.dat\" key=\"r" << i << "\"/>\n";
        def << "</group></resources>\n";
    }
    lists = NewLists();
    const auto t0 = std::chrono::steady_clock::now();
    Load(*lists, problems);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    // Not a timing test: a generous bound that only a walk of the whole
    // table for every entry would pass.
    EXPECT_LT(seconds, 120.0);
    EXPECT_EQ(problems.size(), 2000u) << "one-byte records are no images";
}
