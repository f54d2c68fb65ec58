#include "recording/render_output.h"

#include <algorithm>
#include <cctype>
#include <system_error>

#include "core/shown_text.h"
#include "recording/container_render_file.h"
#include "recording/frame_folder_output.h"
#include "recording/output_file.h"

namespace oskel {

namespace {

// The folder the output goes into must be there: a missing one, or a file standing where
// it or one of the folders above it should be, is named.
void requireFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    if (std::filesystem::is_directory(folder, error)) {
        return;
    }
    for (std::filesystem::path above = folder; !above.empty(); above = above.parent_path()) {
        const std::filesystem::file_status status = std::filesystem::status(above, error);
        if (status.type() == std::filesystem::file_type::directory) {
            break;
        }
        if (std::filesystem::exists(status)) {
            throw OutputError("Cannot write into " + quotedText(folder) + ": "
                + (above == folder ? std::string("it") : quotedText(above)) + " is not a folder");
        }
        if (above == above.parent_path()) {
            break;
        }
    }
    throw OutputError("The output folder " + shownText(folder) + " does not exist");
}

std::filesystem::path folderOf(const std::filesystem::path& path)
{
    const std::filesystem::path parent = path.parent_path();
    return parent.empty() ? std::filesystem::path(".") : parent;
}

// The file a video output is written to: through a symbolic link to where it leads, so that
// the link stays and its target is replaced.
std::filesystem::path fileTarget(const std::filesystem::path& output)
{
    const LinkTarget target = writeTarget(output);
    if (target.error != 0) {
        throw OutputError(fileProblem("write", output, target.error));
    }
    requireFolder(folderOf(target.file));
    std::error_code error;
    if (std::filesystem::is_directory(target.file, error)) {
        throw OutputError("The output " + shownText(output) + " is a folder, not a file");
    }
    return target.file;
}

} // namespace

std::unique_ptr<RenderOutput> openRenderOutput(
    const std::filesystem::path& output, const VideoEncoding& encoding)
{
    if (holdsNul(output)) {
        throw OutputError("The output's name " + shownText(output) + " holds a NUL byte");
    }
    if (const RenderContainer* container = renderContainerFor(output)) {
        if (const std::string problem = compressorProblem(*container, encoding.compression);
            !problem.empty()) {
            throw OutputError(problem);
        }
        return openContainerRenderFile(fileTarget(output), *container, encoding);
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
    return openFrameFolder(folder, encoding.width, encoding.height, encoding.picture);
}

} // namespace oskel
