// SPDX-License-Identifier: GPL-3.0-or-later
// The settings store: what a first run writes, what a later start reads back, and damaged settings.
#include "editor/AllReg.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

constexpr auto HKLM = RegRoot::LocalMachine;
constexpr auto HKCU = RegRoot::CurrentUser;
const std::string Base = "Software\\Tervane\\Korvex v0.30\\";

// One start of the program: the store is created and loads, remembering the File Save shortcut it set.
struct Start {
    explicit Start(const std::filesystem::path& dir) : registry(dir), store(registry) {
        store.onFileSaveShortcut = [this](const std::string& s) { fileSaveShortcut = s; };
        store.LoadSettings();
    }
    Registry registry;
    SettingsStore store;
    std::string fileSaveShortcut = "(unchanged)";
};

TEST(Settings, FirstRunWritesTheDefaultsToBothRoots) {
    TempDir dir;
    Start first(dir.path());
    Registry& r = first.registry;
    EXPECT_EQ(r.readString(HKLM, Base + "External EXE\\Microchip", "MPASMWIN.EXE"), "");
    EXPECT_EQ(r.readString(HKLM, Base + "Project", "Name"), "");
    EXPECT_EQ(r.readString(HKLM, Base + "Environment\\Color", "ColorSetting"), "Default");
    EXPECT_EQ(r.readDword(HKCU, Base + "MemoSourceOptions", "Options"), 0x0293u);
    EXPECT_EQ(r.readString(HKCU, Base + "MemoSourceOptions", "TabStops"), "8");
    EXPECT_EQ(r.readDword(HKCU, Base + "MemoEnvOptions", "Options"), 0x0017u);
    EXPECT_EQ(r.readString(HKCU, Base + "MemoEnvOptions", "KeyMapping"), "Default");
    EXPECT_EQ(r.readDword(HKCU, Base + "MemoEnvOptions", "GutterWidth"), 48u);
    EXPECT_EQ(r.readDword(HKCU, Base + "MemoEnvOptions", "MarginPos"), 80u);
    EXPECT_EQ(r.readDword(HKCU, Base + "MemoEnvOptions\\MarginPen", "Color"), 0xC0C0C0u);
    EXPECT_EQ(r.readDword(HKCU, Base + "MemoEnvOptions\\MarginPen", "Width"), 1u);
    EXPECT_EQ(r.readString(HKCU, Base + "MemoEnvOptions\\Font", "Name"), "Courier New");
    EXPECT_EQ(r.readDword(HKCU, Base + "MemoEnvOptions\\Font", "Size"), 10u);
    EXPECT_EQ(first.fileSaveShortcut, "Ctrl+S");
    EXPECT_EQ(first.store.ColorSetting, "Default");
    EXPECT_EQ(first.store.LastProject, "");
    EXPECT_TRUE(first.store.saveError().empty());
}

TEST(Settings, FirstRunColourElementsAreStoredInOrderWithTheirColours) {
    TempDir dir;
    Start first(dir.path());
    auto stored =
        TTextStyles::Deserialize(*first.registry.readBinary(HKCU, Base + "MemoEnvOptions", "TextStyles"));
    ASSERT_TRUE(stored);
    ASSERT_EQ(stored->size(), 21u);
    for (size_t i = 0; i < 21; ++i)
        EXPECT_EQ((*stored)[i].Name, kColorElementNames[i]);
    const TTextStyle& errorLine = *stored->Find("Error Line");
    EXPECT_EQ(errorLine.Font.Color, 0xFFFFFFu);
    EXPECT_EQ(errorLine.Color, 0x000080u);
    EXPECT_EQ(stored->Find("Comment")->Font.Style, Bit(fsItalic));
    EXPECT_EQ(stored->Find("Pseudo ResWords")->Font.Style, Bit(fsBold));
    EXPECT_EQ(stored->Find("Pseudo ResWords")->Font.Color, 0x008000u);
    EXPECT_EQ(stored->Find("Marked Block")->UpdateMemoColors, mcSelection);
    EXPECT_EQ(stored->Find("Search Match")->UpdateMemoColors, mcSearchMatch);
    EXPECT_EQ(stored->Find("Search Match")->Color, 0x000000u);
    EXPECT_EQ(stored->Find("Bookmark")->Color, 0xC0C0C0u);
    EXPECT_FALSE(stored->Find("search match"));  // names match exactly
}

TEST(Settings, ALaterStartReadsBackWhatTheUserChanged) {
    TempDir dir;
    {
        Start first(dir.path());
        TMemoEnvOptions& env = first.store.MemoEnvOptions();
        env.KeyMapping = "Classic";
        env.Font = TFont{"DejaVu Sans Mono", 12, 0x123456, Bit(fsBold) | Bit(fsUnderline)};
        env.GutterBrush = TBrush{0x00FF00, bsClear};
        env.TextStyles.Find("String")->Font.Color = 0x0000FF;
        env.TextStyles.Find("String")->UseMemoFont = true;
        first.store.MemoSourceOptions().Delimeters = "=\"\\";
        ASSERT_TRUE(first.store.SaveMemoOptions());
        ASSERT_TRUE(first.store.WriteSetting("Project", "Name", "/home/u/blink.pro"));
        ASSERT_TRUE(
            first.store.WriteSetting("External EXE\\Microchip", "MPASMWIN.EXE", "/opt/mp/MPASMWIN.EXE"));
    }
    Start second(dir.path());
    EXPECT_EQ(second.fileSaveShortcut, "F2");
    EXPECT_EQ(second.store.MemoEnvOptions().Font.Name, "DejaVu Sans Mono");
    EXPECT_EQ(second.store.MemoEnvOptions().Font.Style, Bit(fsBold) | Bit(fsUnderline));
    EXPECT_EQ(second.store.MemoEnvOptions().GutterBrush, (TBrush{0x00FF00, bsClear}));
    EXPECT_EQ(second.store.MemoEnvOptions().TextStyles.Find("String")->Font.Color, 0x0000FFu);
    EXPECT_TRUE(second.store.MemoEnvOptions().TextStyles.Find("String")->UseMemoFont);
    EXPECT_EQ(second.store.MemoSourceOptions().Delimeters, "=\"\\");
    EXPECT_EQ(second.store.LastProject, "/home/u/blink.pro");
    EXPECT_EQ(second.store.AssemblerPath, "/opt/mp/MPASMWIN.EXE");
    EXPECT_EQ(second.store.AssemblerFileName, "MPASMWIN.EXE");
}

TEST(Settings, AnUnknownKeyMappingLeavesTheShortcutAlone) {
    TempDir dir;
    { Start first(dir.path()); }
    Registry(dir.path()).writeString(HKCU, Base + "MemoEnvOptions", "KeyMapping", "Emacs");
    EXPECT_EQ(Start(dir.path()).fileSaveShortcut, "(unchanged)");
}

TEST(Settings, AMissingSubkeyReadsAsEmptyAndComesBackWhenWritten) {
    TempDir dir;
    Registry(dir.path()).writeString(HKLM, Base + "Project", "Name", "/p.pro");
    Start start(dir.path());
    EXPECT_EQ(start.store.LastProject, "/p.pro");
    EXPECT_EQ(start.store.ColorSetting, "");  // selects no scheme
    EXPECT_FALSE(start.registry.keyExists(HKLM, Base + "Environment"));
    // a damaged file must not keep the scheme from being stored for good
    EXPECT_TRUE(start.store.WriteSetting("Environment\\Color", "ColorSetting", "Twilight"));
    EXPECT_EQ(Start(dir.path()).store.ColorSetting, "Twilight");
}

TEST(Settings, GarbageConfigFilesStartWithTheDefaults) {
    TempDir dir;
    std::ofstream(dir / "user.ini", std::ios::binary) << std::string("\xFF\xFE[\x00\x01 junk", 10);
    std::ofstream(dir / "machine.ini", std::ios::binary) << "";
    Start start(dir.path());
    EXPECT_EQ(start.store.MemoSourceOptions().Options, 0x0293u);
    EXPECT_EQ(start.store.MemoEnvOptions().TextStyles.size(), 21u);
    EXPECT_EQ(start.store.ColorSetting, "Default");
    EXPECT_EQ(start.fileSaveShortcut, "Ctrl+S");
}

TEST(Settings, DamagedColourElementsKeepTheDefaults) {
    TempDir dir;
    { Start first(dir.path()); }
    Registry r(dir.path());
    auto bytes = *r.readBinary(HKCU, Base + "MemoEnvOptions", "TextStyles");
    for (size_t cut : {size_t(0), size_t(5), bytes.size() / 2, bytes.size() - 1}) {
        r.writeBinary(HKCU, Base + "MemoEnvOptions", "TextStyles",
                      {bytes.begin(), bytes.begin() + long(cut)});
        Start start(dir.path());
        EXPECT_EQ(start.store.MemoEnvOptions().TextStyles, DefaultTextStyles()) << "cut at " << cut;
    }
    auto extra = bytes;
    extra.push_back(0);
    EXPECT_FALSE(TTextStyles::Deserialize(extra));
    EXPECT_EQ(TTextStyles::Deserialize(bytes), DefaultTextStyles());
}

TEST(Settings, FileNamePartSplitsAtEitherSlash) {
    EXPECT_EQ(FileNamePart("/opt/mpasm/MPASMWIN.EXE"), "MPASMWIN.EXE");
    EXPECT_EQ(FileNamePart("Z:\\mpasm\\MPASMWIN.EXE"), "MPASMWIN.EXE");
    EXPECT_EQ(FileNamePart("MPASMWIN.EXE"), "MPASMWIN.EXE");
    EXPECT_EQ(FileNamePart("/opt/"), "");
}

}  // namespace
