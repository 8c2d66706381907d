// SPDX-License-Identifier: GPL-3.0-or-later
// The settings store: the program's own registry values and the editor option objects, loaded at start-up.
#pragma once

#include "editctl/MemoOptions.h"
#include "platform/Registry.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Every key of the program lies below this one, in both roots.
inline constexpr std::string_view kBaseKey = "Software\\Tervane\\Korvex v0.30";

// The File Save shortcut a key mapping asks for: "Ctrl+S" for "Default", "F2" for "Classic", else nothing.
std::optional<std::string> FileSaveShortcutFor(std::string_view keyMapping);

// The file-name part of a path: what follows its last "/" or "\".
std::string FileNamePart(std::string_view path);

class SettingsStore {
  public:
    // The option objects are created here and load what the user root holds, as the editor library does.
    explicit SettingsStore(Registry& registry);

    // At start-up: editor defaults on a user's first run, then the program's own values.
    void LoadSettings();
    // First run of a user: the editor defaults, saved; then the File Save shortcut of the key mapping.
    void ApplyEditorDefaults();
    // One program value under a key of the machine root (made when a damaged file lost it); false when
    // the write failed.
    bool WriteSetting(std::string_view key, std::string_view name, std::string_view value);
    // Saves both option objects (after the environment dialog changed them).
    bool SaveMemoOptions();

    Registry& registry() { return registry_; }
    TMemoSourceOptions& MemoSourceOptions() { return memo_.MemoSourceOptions; }
    TMemoEnvOptions& MemoEnvOptions() { return memo_.MemoEnvOptions; }

    // Told the File Save shortcut whenever the key mapping selects one.
    std::function<void(const std::string&)> onFileSaveShortcut;

    std::string AssemblerPath;
    std::string AssemblerFileName;
    std::string LastProject;
    std::string ColorSetting;

    // Why the last write of settings failed; empty when every write since start-up worked.
    const std::string& saveError() const { return saveError_; }

  private:
    void ApplyKeyMapping();
    void noteFailure(bool ok);

    Registry& registry_;
    TMemoOptionObjects memo_;
    std::string saveError_;
};
