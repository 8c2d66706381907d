// SPDX-License-Identifier: GPL-3.0-or-later
// The editor option objects: defaults, the colour-element table and the registry layout they are kept in.
#include "editctl/MemoOptions.h"

#include <algorithm>

const std::array<std::string_view, kColorElementCount> kColorElementNames = {
    "Whitespace",      "String",          "Comment",    "Identifier", "Integer",
    "Float",           "Reserved words",  "Delimeters", "Defines",    "Assembler",
    "Html tags",       "Html params",     "Url",        "BreakPoint", "Error Line",
    "Pseudo ResWords", "Execution point", "Counter",    "Bookmark",   "Marked Block",
    "Search Match",
};

namespace {

struct ElementDefault {
    uint32_t foreground;
    uint32_t background;
    uint32_t style;
    TUpdateMemoColors update;
};

// Foreground, background and font style of each element on a user's first run, in element order.
constexpr std::array<ElementDefault, kColorElementCount> kElementDefaults = {{
    {0x000000, 0xFFFFFF, 0, mcNone},              // Whitespace
    {0xFF0000, 0xFFFFFF, 0, mcNone},              // String
    {0x000000, 0xFFFFFF, Bit(fsItalic), mcNone},  // Comment
    {0x000000, 0xFFFFFF, 0, mcNone},              // Identifier
    {0x0000FF, 0xFFFFFF, 0, mcNone},              // Integer
    {0x000000, 0xFFFFFF, 0, mcNone},              // Float
    {0x000000, 0xFFFFFF, Bit(fsBold), mcNone},    // Reserved words
    {0x000000, 0xFFFFFF, 0, mcNone},              // Delimeters
    {0xFF00FF, 0xFFFFFF, 0, mcNone},              // Defines
    {0x000000, 0xFFFFFF, 0, mcNone},              // Assembler
    {0x000000, 0xFFFFFF, 0, mcNone},              // Html tags
    {0x000000, 0xFFFFFF, 0, mcNone},              // Html params
    {0x000000, 0xFFFFFF, 0, mcNone},              // Url
    {0xFFFFFF, 0x0000FF, 0, mcNone},              // BreakPoint
    {0xFFFFFF, 0x000080, 0, mcNone},              // Error Line
    {0x008000, 0xFFFFFF, Bit(fsBold), mcNone},    // Pseudo ResWords
    {0xFFFFFF, 0x800000, 0, mcNone},              // Execution point
    {0xFFFFFF, 0xFF00FF, 0, mcNone},              // Counter
    {0x000000, 0xC0C0C0, 0, mcNone},              // Bookmark
    {0xFFFFFF, 0x800000, 0, mcSelection},         // Marked Block
    {0x00FF00, 0x000000, 0, mcSearchMatch},       // Search Match
}};

constexpr char kMagic[4] = {'K', 'X', 'T', 'S'};
constexpr uint8_t kVersion = 1;
constexpr uint32_t kMaxElements = 4096;

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(v >> (8 * i)));
}

// Reads little-endian fields from a byte string, remembering whether it ever ran short.
class Reader {
  public:
    explicit Reader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    uint32_t u(int width) {
        if (pos_ + size_t(width) > bytes_.size()) {
            ok_ = false;
            return 0;
        }
        uint32_t v = 0;
        for (int i = 0; i < width; ++i)
            v |= uint32_t(bytes_[pos_++]) << (8 * i);
        return v;
    }
    std::string text(size_t length) {
        if (pos_ + length > bytes_.size()) {
            ok_ = false;
            return {};
        }
        std::string s(bytes_.begin() + long(pos_), bytes_.begin() + long(pos_ + length));
        pos_ += length;
        return s;
    }
    bool ok() const { return ok_; }
    bool atEnd() const { return pos_ == bytes_.size(); }

  private:
    const std::vector<uint8_t>& bytes_;
    size_t pos_ = 0;
    bool ok_ = true;
};

std::string SubKey(std::string_view root, std::string_view name) {
    std::string key(root);
    if (!key.empty() && key.back() != '\\')
        key += '\\';
    return key + std::string(name);
}

void ReadDword(const Registry& r, const std::string& key, std::string_view name, uint32_t& into) {
    if (auto v = r.readDword(RegRoot::CurrentUser, key, name))
        into = *v;
}

void ReadString(const Registry& r, const std::string& key, std::string_view name, std::string& into) {
    if (auto v = r.readString(RegRoot::CurrentUser, key, name))
        into = *v;
}

}  // namespace

void TTextStyles::Add(std::string name, uint32_t foreground, uint32_t background, uint32_t fontStyle,
                      bool useMemoColor, bool useMemoFont, TUpdateMemoColors update) {
    items_.push_back(
        TTextStyle{std::move(name), background, {foreground, fontStyle}, useMemoColor, useMemoFont, update});
}

TTextStyle* TTextStyles::Find(std::string_view name) {
    auto it =
        std::find_if(items_.begin(), items_.end(), [name](const TTextStyle& s) { return s.Name == name; });
    return it == items_.end() ? nullptr : &*it;
}

const TTextStyle* TTextStyles::Find(std::string_view name) const {
    return const_cast<TTextStyles*>(this)->Find(name);
}

std::vector<uint8_t> TTextStyles::Serialize() const {
    std::vector<uint8_t> out(std::begin(kMagic), std::end(kMagic));
    out.push_back(kVersion);
    PutU32(out, uint32_t(items_.size()));
    for (const TTextStyle& s : items_) {
        uint16_t length = uint16_t(std::min<size_t>(s.Name.size(), 0xFFFF));
        out.push_back(uint8_t(length));
        out.push_back(uint8_t(length >> 8));
        out.insert(out.end(), s.Name.begin(), s.Name.begin() + length);
        PutU32(out, s.Color);
        PutU32(out, s.Font.Color);
        PutU32(out, s.Font.Style);
        out.push_back(s.UseMemoColor);
        out.push_back(s.UseMemoFont);
        out.push_back(uint8_t(s.UpdateMemoColors));
    }
    return out;
}

std::optional<TTextStyles> TTextStyles::Deserialize(const std::vector<uint8_t>& bytes) {
    Reader in(bytes);
    if (in.text(4) != std::string(kMagic, 4) || in.u(1) != kVersion)
        return std::nullopt;
    uint32_t count = in.u(4);
    if (!in.ok() || count > kMaxElements)
        return std::nullopt;
    TTextStyles styles;
    for (uint32_t i = 0; i < count && in.ok(); ++i) {
        TTextStyle s;
        s.Name = in.text(in.u(2));
        s.Color = in.u(4) & 0xFFFFFF;
        s.Font.Color = in.u(4) & 0xFFFFFF;
        s.Font.Style = in.u(4) & 0xF;
        s.UseMemoColor = in.u(1) != 0;
        s.UseMemoFont = in.u(1) != 0;
        uint32_t update = in.u(1);
        if (update > mcSearchMatch)
            return std::nullopt;
        s.UpdateMemoColors = TUpdateMemoColors(update);
        styles.items_.push_back(std::move(s));
    }
    if (!in.ok() || !in.atEnd())
        return std::nullopt;
    return styles;
}

TTextStyles DefaultTextStyles() {
    TTextStyles styles;
    for (int i = 0; i < kColorElementCount; ++i) {
        const ElementDefault& d = kElementDefaults[size_t(i)];
        styles.Add(std::string(kColorElementNames[size_t(i)]), d.foreground, d.background, d.style, false,
                   false, d.update);
    }
    return styles;
}

void TMemoSourceOptions::LoadFromRegistry(const Registry& registry, std::string_view root) {
    std::string key = SubKey(root, "MemoSourceOptions");
    ReadDword(registry, key, "Options", Options);
    Options &= Bit(soLimitEOL + 1) - 1;
    ReadString(registry, key, "TabStops", TabStops);
    ReadString(registry, key, "Delimeters", Delimeters);
    ReadDword(registry, key, "BlockIndent", BlockIndent);
}

bool TMemoSourceOptions::SaveToRegistry(Registry& registry, std::string_view root) const {
    std::string key = SubKey(root, "MemoSourceOptions");
    auto u = RegRoot::CurrentUser;
    return registry.writeDword(u, key, "Options", Options) &&
           registry.writeString(u, key, "TabStops", TabStops) &&
           registry.writeString(u, key, "Delimeters", Delimeters) &&
           registry.writeDword(u, key, "BlockIndent", BlockIndent);
}

void TMemoEnvOptions::LoadFromRegistry(const Registry& registry, std::string_view root) {
    std::string key = SubKey(root, "MemoEnvOptions");
    ReadDword(registry, key, "Options", Options);
    Options &= Bit(moSelectOnlyText + 1) - 1;
    ReadString(registry, key, "KeyMapping", KeyMapping);
    ReadDword(registry, key, "MarginPos", MarginPos);
    ReadDword(registry, key, "GutterWidth", GutterWidth);
    std::string brush = SubKey(key, "GutterBrush"), pen = SubKey(key, "MarginPen"),
                font = SubKey(key, "Font");
    ReadDword(registry, brush, "Color", GutterBrush.Color);
    ReadDword(registry, brush, "Style", GutterBrush.Style);
    ReadDword(registry, pen, "Color", MarginPen.Color);
    ReadDword(registry, pen, "Mode", MarginPen.Mode);
    ReadDword(registry, pen, "Style", MarginPen.Style);
    ReadDword(registry, pen, "Width", MarginPen.Width);
    ReadString(registry, font, "Name", Font.Name);
    ReadDword(registry, font, "Size", Font.Size);
    ReadDword(registry, font, "Color", Font.Color);
    ReadDword(registry, font, "Style", Font.Style);
    if (auto bytes = registry.readBinary(RegRoot::CurrentUser, key, "TextStyles"))
        if (auto styles = TTextStyles::Deserialize(*bytes))
            TextStyles = *styles;
}

bool TMemoEnvOptions::SaveToRegistry(Registry& registry, std::string_view root) const {
    std::string key = SubKey(root, "MemoEnvOptions");
    std::string brush = SubKey(key, "GutterBrush"), pen = SubKey(key, "MarginPen"),
                font = SubKey(key, "Font");
    auto u = RegRoot::CurrentUser;
    return registry.writeDword(u, key, "Options", Options) &&
           registry.writeString(u, key, "KeyMapping", KeyMapping) &&
           registry.writeDword(u, key, "MarginPos", MarginPos) &&
           registry.writeDword(u, key, "GutterWidth", GutterWidth) &&
           registry.writeDword(u, brush, "Color", GutterBrush.Color) &&
           registry.writeDword(u, brush, "Style", GutterBrush.Style) &&
           registry.writeDword(u, pen, "Color", MarginPen.Color) &&
           registry.writeDword(u, pen, "Mode", MarginPen.Mode) &&
           registry.writeDword(u, pen, "Style", MarginPen.Style) &&
           registry.writeDword(u, pen, "Width", MarginPen.Width) &&
           registry.writeString(u, font, "Name", Font.Name) &&
           registry.writeDword(u, font, "Size", Font.Size) &&
           registry.writeDword(u, font, "Color", Font.Color) &&
           registry.writeDword(u, font, "Style", Font.Style) &&
           registry.writeBinary(u, key, "TextStyles", TextStyles.Serialize());
}
