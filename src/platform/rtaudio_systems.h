#pragma once

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include <RtAudio.h>

#include "platform/quiet_alsa_errors.h"

namespace oskel {

// Tries `open(api, whyNot)` on each sound system RtAudio was built with, in its order, and
// returns the first device it opens. Otherwise null, with the last reason given (`none`
// when no system gave one).
template <typename Open>
auto openOnFirstSoundSystem(Open open, const char* none, std::string& whyNot)
    -> decltype(open(RtAudio::Api {}, whyNot))
{
    QuietAlsaErrors quiet;
    std::vector<RtAudio::Api> apis;
    RtAudio::getCompiledApi(apis);
    whyNot = none;
    for (const RtAudio::Api api : apis) {
        try {
            if (auto device = open(api, whyNot)) {
                whyNot.clear();
                return device;
            }
        } catch (const RtAudioError& error) {
            whyNot = error.getMessage();
        } catch (const std::exception& error) {
            whyNot = error.what();
        }
    }
    return nullptr;
}

} // namespace oskel
