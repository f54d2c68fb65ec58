#include "recording/render_output.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "recording/avi_render_file.h"
#include "recording/frame_folder_output.h"
#include "recording/output_file.h"

namespace oskel {

namespace {

void requireFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        throw OutputError("The output folder " + folder.string() + " does not exist");
    }
}

std::filesystem::path folderOf(const std::filesystem::path& path)
{
    const std::filesystem::path parent = path.parent_path();
    return parent.empty() ? std::filesystem::path(".") : parent;
}

} // namespace

bool isAviOutput(const std::filesystem::path& output)
{
    std::string extension = output.extension().string();
    std::ranges::transform(extension, extension.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".avi";
}

std::unique_ptr<RenderOutput> openRenderOutput(
    const std::filesystem::path& output, const VideoEncoding& encoding)
{
    if (isAviOutput(output)) {
        requireFolder(folderOf(output));
        std::error_code error;
        if (std::filesystem::is_directory(output, error)) {
            throw OutputError("The output " + output.string() + " is a folder, not a file");
        }
        return openAviRenderFile(output, encoding);
    }
    std::filesystem::path folder = output.lexically_normal();
    if (folder.filename().empty()) {
        folder = folder.parent_path(); // written with a final separator
    }
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        requireFolder(folderOf(folder));
        if (!std::filesystem::create_directory(folder, error) && error) {
            throw OutputError(fileProblem("make the folder", folder, error.value()));
        }
    }
    return openFrameFolder(folder, encoding.width, encoding.height);
}

} // namespace oskel
