#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <sys/types.h>

namespace oskel::test {

// Starts a program found on PATH (args[0]) with no input, its output thrown away and its
// diagnostics written to `log` (thrown away when empty). The child's id; -1 when it could not
// be started.
pid_t startTool(const std::vector<std::string>& args, const std::filesystem::path& log = {});

} // namespace oskel::test
