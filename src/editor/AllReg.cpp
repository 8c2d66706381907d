// SPDX-License-Identifier: GPL-3.0-or-later
// The settings store: first-run defaults, start-up loading and single-value writes.
#include "editor/AllReg.h"

namespace {

std::string KeyOf(std::string_view sub) {
    return std::string(kBaseKey) + "\\" + std::string(sub);
}

constexpr std::string_view kExternalExeKey = "External EXE\\Microchip";
constexpr std::string_view kProjectKey = "Project";
constexpr std::string_view kColorKey = "Environment\\Color";

}  // namespace

std::optional<std::string> FileSaveShortcutFor(std::string_view keyMapping) {
    if (keyMapping == "Default")
        return "Ctrl+S";
    if (keyMapping == "Classic")
        return "F2";
    return std::nullopt;
}

std::string FileNamePart(std::string_view path) {
    size_t cut = path.find_last_of("/\\");
    return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

SettingsStore::SettingsStore(Registry& registry) : registry_(registry) {
    memo_.MemoSourceOptions.LoadFromRegistry(registry_, kBaseKey);
    memo_.MemoEnvOptions.LoadFromRegistry(registry_, kBaseKey);
}

void SettingsStore::ApplyEditorDefaults() {
    if (!registry_.keyExists(RegRoot::CurrentUser, kBaseKey)) {
        TMemoSourceOptions& source = memo_.MemoSourceOptions;
        source.TabStops = "8";
        source.Options = Bit(soBackUnindents) | Bit(soGroupUndo) | Bit(soAutoIndent) | Bit(soCreateBackups) |
                         Bit(soOverwriteBlocks);
        noteFailure(source.SaveToRegistry(registry_, kBaseKey));

        TMemoEnvOptions& env = memo_.MemoEnvOptions;
        env.GutterWidth = 48;
        env.KeyMapping = "Default";
        env.MarginPen = TPen{0xC0C0C0, pmCopy, psSolid, 1};
        env.MarginPos = 80;
        env.Font.Color = 0x000000;
        env.Font.Name = "Courier New";
        env.Font.Size = 10;
        env.Options = Bit(moDrawMargin) | Bit(moDrawGutter) | Bit(moThumbTracking) | Bit(moColorSyntax);
        env.TextStyles = DefaultTextStyles();
        noteFailure(env.SaveToRegistry(registry_, kBaseKey));
    }
    ApplyKeyMapping();
}

void SettingsStore::ApplyKeyMapping() {
    if (auto shortcut = FileSaveShortcutFor(memo_.MemoEnvOptions.KeyMapping); shortcut && onFileSaveShortcut)
        onFileSaveShortcut(*shortcut);
}

void SettingsStore::LoadSettings() {
    {
        RegistryBatch batch(registry_);
        ApplyEditorDefaults();
        noteFailure(batch.commit());
    }
    if (registry_.keyExists(RegRoot::LocalMachine, kBaseKey)) {
        auto read = [this](std::string_view key, std::string_view name) {
            return registry_.readString(RegRoot::LocalMachine, KeyOf(key), name).value_or("");
        };
        AssemblerPath = read(kExternalExeKey, "MPASMWIN.EXE");
        AssemblerFileName = FileNamePart(AssemblerPath);
        LastProject = read(kProjectKey, "Name");
        ColorSetting = read(kColorKey, "ColorSetting");
        return;
    }
    RegistryBatch batch(registry_);
    for (auto key : {kExternalExeKey, kProjectKey, kColorKey})
        registry_.createKey(RegRoot::LocalMachine, KeyOf(key));
    registry_.writeString(RegRoot::LocalMachine, KeyOf(kExternalExeKey), "MPASMWIN.EXE", "");
    registry_.writeString(RegRoot::LocalMachine, KeyOf(kProjectKey), "Name", "");
    registry_.writeString(RegRoot::LocalMachine, KeyOf(kColorKey), "ColorSetting", "Default");
    noteFailure(batch.commit());
    AssemblerPath.clear();
    LastProject.clear();
    ColorSetting = "Default";
}

bool SettingsStore::WriteSetting(std::string_view key, std::string_view name, std::string_view value) {
    // a key lost from a damaged settings file is made again, or the value could never be kept
    bool ok = registry_.writeString(RegRoot::LocalMachine, KeyOf(key), name, value, CreateKey::Yes);
    noteFailure(ok);
    return ok;
}

bool SettingsStore::SaveMemoOptions() {
    RegistryBatch batch(registry_);
    bool ok = memo_.MemoSourceOptions.SaveToRegistry(registry_, kBaseKey) &&
              memo_.MemoEnvOptions.SaveToRegistry(registry_, kBaseKey);
    ok = batch.commit() && ok;
    noteFailure(ok);
    return ok;
}

void SettingsStore::noteFailure(bool ok) {
    if (!ok)
        saveError_ = registry_.lastError();
}
