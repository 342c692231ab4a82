#pragma once
// Everything of the game's content besides the pieces: the pictures, the
// three fonts, the splash, the packer's manifest, the resource description
// and a contact sheet.

#include <string>

namespace zelkor::art {

// Reads the piece images from DATADIR/art, writes the rest there, the
// splash to DATADIR/splash.jpg, DATADIR/content.manifest, DATADIR/zelkor.def
// and DATADIR/preview/content.png.
bool WriteContent(const std::string& dataDir, std::string& error);

} // namespace zelkor::art
