#pragma once
// A message box with one OK button, over whatever window is open. The text
// also goes to standard error, so that it is seen where no window can open
// (no display).

#include <string>

namespace zelkor {

enum class TMessageKind { Error, Information };

// Blocks until the box is closed; returns at once when no box can be shown.
void ShowMessageBox(TMessageKind kind, const std::string& title, const std::string& text);

} // namespace zelkor
