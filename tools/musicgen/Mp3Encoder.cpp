#include "tools/musicgen/Mp3Encoder.h"

#include <lame/lame.h>

#include <memory>

namespace zelkor::music {

bool EncodeMp3(const std::vector<int16_t>& interleaved, int rate, int quality, std::vector<uint8_t>& out,
               std::string& error) {
    std::unique_ptr<lame_global_flags, int (*)(lame_global_flags*)> lame(lame_init(), lame_close);
    if (!lame) {
        error = "LAME could not start";
        return false;
    }
    lame_set_in_samplerate(lame.get(), rate);
    lame_set_out_samplerate(lame.get(), rate);
    lame_set_num_channels(lame.get(), 2);
    lame_set_mode(lame.get(), JOINT_STEREO);
    lame_set_VBR(lame.get(), vbr_default);
    lame_set_VBR_quality(lame.get(), float(quality));
    lame_set_quality(lame.get(), 2);
    lame_set_bWriteVbrTag(lame.get(), 1);
    if (lame_init_params(lame.get()) < 0) {
        error = "LAME refused the parameters";
        return false;
    }
    out.clear();
    const size_t chunk = 1152 * 16;
    std::vector<uint8_t> buffer(chunk + chunk / 4 + 7200);
    const size_t frames = interleaved.size() / 2;
    for (size_t at = 0; at < frames; at += chunk) {
        const size_t n = std::min(chunk, frames - at);
        // LAME's buffer type is not const; it only reads the samples.
        const int written = lame_encode_buffer_interleaved(lame.get(), const_cast<short*>(interleaved.data() + 2 * at),
                                                           int(n), buffer.data(), int(buffer.size()));
        if (written < 0) {
            error = "LAME failed while encoding (" + std::to_string(written) + ")";
            return false;
        }
        out.insert(out.end(), buffer.begin(), buffer.begin() + written);
    }
    const int flushed = lame_encode_flush(lame.get(), buffer.data(), int(buffer.size()));
    if (flushed < 0) {
        error = "LAME failed while flushing (" + std::to_string(flushed) + ")";
        return false;
    }
    out.insert(out.end(), buffer.begin(), buffer.begin() + flushed);
    // The first frame was left as a placeholder for the tag.
    std::vector<uint8_t> tag(4096);
    const size_t tagSize = lame_get_lametag_frame(lame.get(), tag.data(), tag.size());
    if (tagSize == 0 || tagSize > tag.size() || tagSize > out.size()) {
        error = "LAME gave no tag frame";
        return false;
    }
    std::copy(tag.begin(), tag.begin() + long(tagSize), out.begin());
    return true;
}

} // namespace zelkor::music
