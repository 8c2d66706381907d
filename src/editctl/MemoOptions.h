// SPDX-License-Identifier: GPL-3.0-or-later
// The editor library's two global option objects, their colour elements, and their registry persistence.
#pragma once

#include "platform/Registry.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Text-buffer behaviour, bit n of MemoSourceOptions.Options.
enum TStringsOption : uint32_t {
    soBackUnindents,
    soGroupUndo,
    soBeyondFileEnd,
    soForceCutCopy,
    soAutoIndent,
    soSmartTab,
    soFindTextAtCursor,
    soCreateBackups,
    soPersistentBlocks,
    soOverwriteBlocks,
    soLimitEOL,
};

// Display behaviour, bit n of MemoEnvOptions.Options.
enum TMemoOption : uint32_t {
    moDrawMargin,
    moDrawGutter,
    moThumbTracking,
    moDblClickLine,
    moColorSyntax,
    moLineNumbers,
    moOverwriteCaret,
    moLeftIndent,
    moDisableDrag,
    moSelectOnlyText,
};

enum TFontStyle : uint32_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };
enum TUpdateMemoColors : uint32_t { mcNone, mcText, mcSelection, mcSearchMatch };
enum TPenMode : uint32_t { pmBlack, pmWhite, pmNop, pmNot, pmCopy };
enum TPenStyle : uint32_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
enum TBrushStyle : uint32_t { bsSolid, bsClear };

constexpr uint32_t Bit(uint32_t element) {
    return 1u << element;
}

struct TFont {
    std::string Name = "Courier New";
    uint32_t Size = 10;
    uint32_t Color = 0x000000;
    uint32_t Style = 0;  // set of TFontStyle
    bool operator==(const TFont&) const = default;
};

struct TPen {
    uint32_t Color = 0xC0C0C0;
    uint32_t Mode = pmCopy;
    uint32_t Style = psSolid;
    uint32_t Width = 1;
    bool operator==(const TPen&) const = default;
};

struct TBrush {
    uint32_t Color = 0xF0F0F0;
    uint32_t Style = bsSolid;
    bool operator==(const TBrush&) const = default;
};

// One colour element: Color is the background, Font.Color the foreground, Font.Style its font style.
struct TTextStyle {
    struct StyleFont {
        uint32_t Color = 0;
        uint32_t Style = 0;
        bool operator==(const StyleFont&) const = default;
    };
    std::string Name;
    uint32_t Color = 0xFFFFFF;
    StyleFont Font;
    bool UseMemoColor = false;
    bool UseMemoFont = false;
    TUpdateMemoColors UpdateMemoColors = mcNone;
    bool operator==(const TTextStyle&) const = default;
};

// The colour elements in their fixed order; the index of an element is the token class it colours.
class TTextStyles {
  public:
    void Clear() { items_.clear(); }
    void Add(std::string name, uint32_t foreground, uint32_t background, uint32_t fontStyle,
             bool useMemoColor, bool useMemoFont, TUpdateMemoColors update);
    size_t size() const { return items_.size(); }
    TTextStyle& operator[](size_t i) { return items_[i]; }
    const TTextStyle& operator[](size_t i) const { return items_[i]; }
    // Looked up by name, exactly; nothing when no element has it.
    TTextStyle* Find(std::string_view name);
    const TTextStyle* Find(std::string_view name) const;
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

    // The stored form: "KXTS" then a version byte and the element count, then each element.
    std::vector<uint8_t> Serialize() const;
    // Reads the stored form back; nothing when it is damaged in any way.
    static std::optional<TTextStyles> Deserialize(const std::vector<uint8_t>& bytes);

    bool operator==(const TTextStyles&) const = default;

  private:
    std::vector<TTextStyle> items_;
};

inline constexpr int kColorElementCount = 21;
extern const std::array<std::string_view, kColorElementCount> kColorElementNames;

// The 21 elements a user starts with.
TTextStyles DefaultTextStyles();

struct TMemoSourceOptions {
    uint32_t Options = Bit(soBackUnindents) | Bit(soGroupUndo) | Bit(soAutoIndent) | Bit(soCreateBackups) |
                       Bit(soOverwriteBlocks);
    std::string TabStops = "8";
    std::string Delimeters = " \t,;:.()[]{}+-*/%=<>!&|^~\"'";
    uint32_t BlockIndent = 2;

    bool Has(TStringsOption o) const { return Options & Bit(o); }
    void LoadFromRegistry(const Registry& registry, std::string_view root);
    bool SaveToRegistry(Registry& registry, std::string_view root) const;
    bool operator==(const TMemoSourceOptions&) const = default;
};

struct TMemoEnvOptions {
    uint32_t Options = Bit(moDrawMargin) | Bit(moDrawGutter) | Bit(moThumbTracking) | Bit(moColorSyntax);
    std::string KeyMapping = "Default";
    uint32_t MarginPos = 80;
    uint32_t GutterWidth = 48;
    TBrush GutterBrush;
    TPen MarginPen;
    TFont Font;
    TTextStyles TextStyles = DefaultTextStyles();

    bool Has(TMemoOption o) const { return Options & Bit(o); }
    void LoadFromRegistry(const Registry& registry, std::string_view root);
    bool SaveToRegistry(Registry& registry, std::string_view root) const;
    bool operator==(const TMemoEnvOptions&) const = default;
};

// The library's global option objects, loaded from the registry when created.
struct TMemoOptionObjects {
    TMemoSourceOptions MemoSourceOptions;
    TMemoEnvOptions MemoEnvOptions;
};
