#pragma once
// Holds the connection to the display (SDL's video subsystem) for as long
// as it lives. Windows opened and closed meanwhile (the launcher's, then
// the game's) share it, so the display is never left without this program
// between them. Without a display it holds nothing, and the windows' own
// start reports that. On an X display it also decides what a lost
// connection does: the program ends at once with a message (and a request
// the display refuses is named, not fatal).

namespace zelkor {

class TVideoSession {
public:
    TVideoSession();
    ~TVideoSession();
    TVideoSession(const TVideoSession&) = delete;
    TVideoSession& operator=(const TVideoSession&) = delete;

    bool Started() const { return started_; }

private:
    bool started_ = false;
};

} // namespace zelkor
