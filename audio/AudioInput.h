#pragma once
// What the streaming output reads from: decoded PCM of a known format,
// read in pieces on the output's worker thread.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/sdl/AudioDevice.h"
#include "platform/Events.h"

namespace zelkor {

class TAudioInput : public TObject {
public:
    // Makes the input ready to read; false with a reason.
    virtual bool Open(std::string& error) = 0;
    virtual void Close() = 0;
    // The decoded samples' format (valid once open).
    virtual TPcmFormat Format() const = 0;
    // Up to `bytes` bytes of whole frames; 0 once the input is exhausted.
    virtual size_t Read(uint8_t* buffer, size_t bytes) = 0;
};

} // namespace zelkor
