#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/gl/gl_surface.h"

namespace oskel {

// A headless drawing surface: an EGL pbuffer with 24-bit colour and a depth buffer, drawn by
// Mesa without any display server (the surfaceless platform first, then an EGL device, then
// the default display). For offline rendering and the pixel tests.
class EglSurface final : public GlSurface {
public:
    static constexpr int kDefaultWidth = 384;
    static constexpr int kDefaultHeight = 288;

    ~EglSurface() override;
    EglSurface(const EglSurface&) = delete;
    EglSurface& operator=(const EglSurface&) = delete;

    bool makeCurrent() override;
    void doneCurrent() override;
    void swapBuffers() override;
    int width() const override { return m_width; }
    int height() const override { return m_height; }
    Proc procAddress(const char* name) const override;
    GlSurfaceResult createSharedSurface(int width, int height) override;

    // Context current: copies the surface's picture, width() x height() pixels of
    // blue-green-red bytes, top row first, into bgr. False when size is too small.
    bool readPicture(std::uint8_t* bgr, std::size_t size) const;

    // The EGL objects, known only to the implementation (which is what makes surfaces).
    struct Handles;
    EglSurface(std::unique_ptr<Handles> handles, int width, int height);

private:
    std::unique_ptr<Handles> m_handles;
    int m_width = 0;
    int m_height = 0;
};

// Never throws: when no context can be made, the result carries the reason.
GlSurfaceResult createEglSurface(
    int width = EglSurface::kDefaultWidth, int height = EglSurface::kDefaultHeight);

} // namespace oskel
