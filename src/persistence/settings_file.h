#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/global_state.h"
#include "core/key_letter_map.h"
#include "core/options.h"
#include "persistence/ini_profile.h"

namespace oskel {

// Folders that the settings' defaults point into.
struct SettingsDefaults {
    std::filesystem::path clipFolder; // the "video clips" folder: clips, patches, console clip
    std::filesystem::path tempFolder; // render scratch files and the default render target
};

// The keyboard layout chosen by "Globals" "Locale": "fr" selects AZERTY.
KeyboardLayout readKeyboardLayout(const IniProfile& ini);

// Reads every option of the settings file. Missing or unreadable values take their
// defaults; out-of-range values that would break the instrument take them too.
void readSettings(const IniProfile& ini, const SettingsDefaults& defaults, GlobalState& globals,
    Options& options);

// Writes the options kept at shut-down into the profile, updating it in place: keys this
// does not write stay as they were.
void writeSettings(IniProfile& ini, const GlobalState& globals, const Options& options);

// The settings file "oskelstandard.ini" in its folder. Each use reads the file afresh.
class SettingsFile {
public:
    static constexpr const char* kFileName = "oskelstandard.ini";

    explicit SettingsFile(std::filesystem::path folder);

    const std::filesystem::path& path() const { return m_path; }

    // Reads the file, creating its folder when needed. On a problem (the folder cannot be
    // made, the file cannot be read) the profile is empty, `problem` says what happened in
    // the performer's words, and the file will not be written, so nothing is lost.
    struct Loaded {
        IniProfile profile;
        std::optional<std::string> problem;
    };
    Loaded load();

    // Reads the file again, lets `update` change it and writes it back safely. Returns the
    // problem, if any; the old file is then left as it was.
    template <typename Update> std::optional<std::string> update(Update&& change)
    {
        if (m_readOnly) {
            return m_readOnlyReason;
        }
        IniReadResult current = readIniFile(m_path);
        if (current.status == IniFileStatus::Unreadable) {
            return current.error;
        }
        if (auto problem = keepCopyOfUnreadable(current.profile)) {
            return problem;
        }
        change(current.profile);
        return writeIniFile(m_path, current.profile);
    }

    // Where the file as it was is kept before it is written over, when it holds lines the
    // settings cannot read ("oskelstandard.ini.bak", replaced each time).
    std::filesystem::path backupPath() const;

private:
    std::optional<std::string> keepCopyOfUnreadable(const IniProfile& profile) const;

    std::filesystem::path m_path;
    bool m_readOnly = false;
    std::string m_readOnlyReason;
};

} // namespace oskel
