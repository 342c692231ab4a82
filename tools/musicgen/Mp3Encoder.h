#pragma once
// MP3 encoding with LAME: VBR, joint stereo, and the LAME tag that tells a
// decoder the encoder's delay and padding, so that the decoded music has
// exactly the samples given and loops without a gap.

#include <cstdint>
#include <string>
#include <vector>

namespace zelkor::music {

// Interleaved 16-bit stereo at `rate` to an MP3 file's bytes. `quality` is
// LAME's VBR quality, 0 (best) to 9.
bool EncodeMp3(const std::vector<int16_t>& interleaved, int rate, int quality, std::vector<uint8_t>& out,
               std::string& error);

} // namespace zelkor::music
