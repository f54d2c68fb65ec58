#include "sources/camera_list.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace oskel {

namespace {

constexpr std::size_t kLongestName = 128;

std::string deviceName(const std::filesystem::path& nameFile, const std::string& fallback)
{
    std::ifstream file(nameFile);
    std::string name;
    std::getline(file, name);
    name.resize(std::min(name.size(), kLongestName));
    std::erase_if(name, [](char c) { return static_cast<unsigned char>(c) < ' ' || c == '\x7f'; });
    return name.empty() ? fallback : name;
}

// "video10" after "video9".
bool byNumber(const CameraDevice& a, const CameraDevice& b)
{
    const std::string x = a.device.filename().string();
    const std::string y = b.device.filename().string();
    return x.size() != y.size() ? x.size() < y.size() : x < y;
}

} // namespace

std::vector<CameraDevice> listCameras(
    const std::filesystem::path& classFolder, const std::filesystem::path& deviceFolder)
{
    std::vector<CameraDevice> cameras;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(classFolder, error)) {
        const std::string node = entry.path().filename().string();
        if (!node.starts_with("video")) {
            continue;
        }
        const std::filesystem::path device = deviceFolder / node;
        if (std::filesystem::exists(device, error)) {
            cameras.push_back({ deviceName(entry.path() / "name", node), device });
        }
    }
    std::ranges::sort(cameras, byNumber);
    return cameras;
}

} // namespace oskel
