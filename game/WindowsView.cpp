#include "game/WindowsView.h"

#include "game/logic/Windows.h"

namespace zelkor::game {

namespace {

constexpr uint32_t kBlack = 0xFF000000, kWhite = 0xFFFFFFFF, kButton = 0xFF151515, kLabel = 0xFFF3BF00;

} // namespace

TWindowsView::TWindowsView(const TSceneState& state, TGraph& graph, TGfxCanvas& canvas)
    : s_(state), graph_(graph), canvas_(canvas) {}

void TWindowsView::Draw() {
    switch (s_.Window) {
    case OpenWindow::MainMenu: DrawMainMenu(); break;
    case OpenWindow::QuitConfirm: DrawQuitConfirm(); break;
    case OpenWindow::OptionsList: DrawOptions(); break;
    case OpenWindow::HelpBar: DrawHelpBar(); break;
    case OpenWindow::GameMenu: DrawGameMenu(); break;
    case OpenWindow::NoWindow: break;
    }
}

template <size_t N>
void TWindowsView::DrawButtons(const std::array<std::string_view, N>& labels, int left, int top) {
    for (int i = 1; i <= int(N); ++i) {
        const int a = 100 * (i - 1);
        const bool hovered = s_.HoverItem == i;
        canvas_.FillRect(left + a, top, 98, 30, hovered ? kWhite : kButton, fxSub);
        const std::string_view label = labels[size_t(i - 1)];
        graph_.Text(2, label, left + 4 + a, top + 4, kBlack, kBlack);
        const uint32_t color = hovered ? kWhite : kLabel;
        graph_.Text(2, label, left + 3 + a, top + 3, color, color);
    }
}

void TWindowsView::DrawMainMenu() {
    for (int i = 1; i <= int(kMainMenuItems.size()); ++i) {
        const int y = 155 + 40 * (i - 1);
        if (s_.HoverItem == i)
            graph_.Text(0, kMainMenuItems[size_t(i - 1)], 86, y, 0xFFFFFF00, 0xFFFFFF00);
        else
            graph_.Text(0, kMainMenuItems[size_t(i - 1)], 86, y, 0xFF00FF00, 0xFFFFFFFF);
    }
}

void TWindowsView::DrawQuitConfirm() {
    canvas_.Draw(graph_.Image("window_1"), 287, 277, 0, fxBlend);
    graph_.Text(2, kQuitTitle, 377, 349, kBlack, kBlack);
    graph_.Text(2, kQuitTitle, 376, 348, kWhite, kWhite);
    DrawButtons(kQuitItems, 413, 397);
}

void TWindowsView::DrawOptions() {
    for (int i = 1; i <= int(kOptionLabels.size()); ++i) {
        const int y = 155 + 40 * (i - 1);
        const std::string_view label = kOptionLabels[size_t(i - 1)];
        graph_.Text(2, label, 87, y + 1, kWhite, kWhite);
        if (s_.HoverItem == i) {
            graph_.Text(2, label, 87, y + 1, kBlack, kBlack);
            graph_.Text(2, label, 86, y, kWhite, kWhite);
        } else {
            graph_.Text(2, label, 86, y, 0xFF223322, 0xFF223322);
        }
    }
    for (int k = 0; k <= 7; ++k) {
        canvas_.FillRect(233, 152 + 40 * k, 120, 30, 0xFF252525, fxSub);
        const std::string_view value = OptionValueText(s_.Options, k);
        graph_.Text(2, value, 237, 156 + 40 * k, 0xFF888888, 0xFF888888);
        graph_.Text(2, value, 236, 155 + 40 * k, kWhite, kWhite);
    }
}

void TWindowsView::DrawHelpBar() { DrawButtons(kHelpBarItems, 711, 723); }

void TWindowsView::DrawGameMenu() {
    canvas_.Draw(graph_.Image("window_1"), 287, 277, 0, fxBlend);
    graph_.Text(2, kGameMenuTitle, 408, 349, kBlack, kBlack);
    graph_.Text(2, kGameMenuTitle, 407, 348, kWhite, kWhite);
    DrawButtons(kGameMenuItems, 364, 397);
}

} // namespace zelkor::game
