#pragma once
// The root of every component that raises events: handlers receive the
// component that raised them as their Sender.

namespace zelkor {

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;
};

} // namespace zelkor
