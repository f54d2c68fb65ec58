#pragma once

#include <cstdarg>

// This ALSA release declares the thread's own error handler outside its C linkage block.
extern "C" {
#include <alsa/error.h>
}

namespace oskel {

// For the platform layer's own sources only. Keeps the ALSA library from printing its own
// errors on this thread while devices are probed: on a machine without a sound card or
// sequencer it would fill the terminal. The failures still reach the caller through the
// library's results.
class QuietAlsaErrors {
public:
    QuietAlsaErrors()
        : m_previous(snd_lib_error_set_local(&ignore))
    {
    }
    ~QuietAlsaErrors() { snd_lib_error_set_local(m_previous); }
    QuietAlsaErrors(const QuietAlsaErrors&) = delete;
    QuietAlsaErrors& operator=(const QuietAlsaErrors&) = delete;

private:
    static void ignore(const char*, int, const char*, int, const char*, va_list) { }

    snd_local_error_handler_t m_previous;
};

} // namespace oskel
