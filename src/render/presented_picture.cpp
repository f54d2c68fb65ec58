#include "render/presented_picture.h"

#include <utility>

namespace oskel {

PresentedPicture::PresentedPicture(int width, int height)
    : m_width(width)
    , m_height(height)
    , m_shown(std::size_t(width) * std::size_t(height) * 3)
    , m_scratch(m_shown.size())
{
}

void PresentedPicture::publish()
{
    const std::unique_lock guard(m_lock, std::try_to_lock);
    if (!guard.owns_lock()) {
        return;
    }
    std::swap(m_shown, m_scratch);
    m_fresh = true;
}

bool PresentedPicture::takeNew(std::vector<std::uint8_t>& picture)
{
    const std::lock_guard guard(m_lock);
    if (!m_fresh) {
        return false;
    }
    m_fresh = false;
    picture.resize(m_shown.size());
    // The taker's buffer becomes the frame thread's next target: same size, so no allocation.
    std::swap(picture, m_shown);
    return true;
}

} // namespace oskel
