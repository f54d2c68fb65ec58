#pragma once

#include <functional>
#include <memory>
#include <string>

namespace oskel {

class LiveSoundFeed;

enum class LiveState { Playing, Lost };

// What the loader does with a live source beyond what every reader does: it gives the source
// the feed its sound goes into and learns when the source is lost and back.
class LiveSourceControl {
public:
    // Decode thread: the source was lost (a dropped connection, an unplugged camera, a stall)
    // or is back; `message` says so in the performer's words. Called once per change.
    using StateHandler = std::function<void(LiveState state, const std::string& message)>;

    virtual ~LiveSourceControl() = default;
    // Main thread: from now on the source's sound goes into `feed`, at the feed's rate.
    virtual void carrySound(std::shared_ptr<LiveSoundFeed> feed) = 0;
    // Main thread. A source already lost is told at once, on this thread.
    virtual void onStateChange(StateHandler handler) = 0;
    virtual LiveState state() const = 0;
};

} // namespace oskel
