// SPDX-License-Identifier: GPL-3.0-or-later
// The assembler option set: defaults, the processor list lookup, the project-file section and the switches.
#include "assembler/MpasmOptions.h"

#include "platform/ProfileFile.h"

#include <algorithm>

namespace {

constexpr std::string_view kSection = "MPASM";

template <size_t N>
std::string_view OptionOf(const std::array<TOptionItem, N>& items, int index) {
    return index >= 0 && size_t(index) < N ? items[size_t(index)].option : std::string_view{};
}

char Upper(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

}  // namespace

void ResetOptions(TMpasmOptions& options) {
    options = TMpasmOptions{};
}

int FindProcessor(std::string_view name) {
    auto same = [name](std::string_view entry) {
        return entry.size() == name.size() && std::equal(entry.begin(), entry.end(), name.begin(),
                                                         [](char a, char b) { return a == Upper(b); });
    };
    auto it = std::find_if(kProcessors.begin(), kProcessors.end(), same);
    return it == kProcessors.end() ? -1 : int(it - kProcessors.begin());
}

std::string CommandLineOptions(const TMpasmOptions& options) {
    std::string text = " /q /e+ ";
    text += options.ListFile ? "/l+ " : "/l- ";
    text += options.CrossFile ? "/x+ " : "/x- ";
    text += OptionOf(kRadixItems, options.Radix);
    text += OptionOf(kWarningItems, options.WarningLevel);
    text += OptionOf(kHexOutputItems, options.HexOutput);
    text += OptionOf(kMacroItems, options.Macro);
    text += options.CaseSensitive ? "/c+ " : "/c- ";
    text += options.Additional;
    text += " /p" + options.Processor + " ";
    return text;
}

TMpasmOptions ReadMpasmOptions(const ProfileFile& file) {
    TMpasmOptions defaults;
    TMpasmOptions options;
    options.ListFile = file.ReadBool(kSection, "List File", defaults.ListFile);
    options.CrossFile = file.ReadBool(kSection, "Cross File", defaults.CrossFile);
    options.Radix = file.ReadInteger(kSection, "Radix", defaults.Radix);
    options.WarningLevel = file.ReadInteger(kSection, "Warning Level", defaults.WarningLevel);
    options.HexOutput = file.ReadInteger(kSection, "Hex Output", defaults.HexOutput);
    options.Macro = file.ReadInteger(kSection, "Macro", defaults.Macro);
    options.CaseSensitive = file.ReadBool(kSection, "Case Sensitive", defaults.CaseSensitive);
    options.Processor = file.ReadString(kSection, "Processor", defaults.Processor);
    options.Additional = file.ReadString(kSection, "Additional", defaults.Additional);
    return options;
}

bool WriteMpasmOptions(ProfileFile& file, const TMpasmOptions& options) {
    file.beginBatch();
    bool ok = file.WriteBool(kSection, "List File", options.ListFile) &&
              file.WriteBool(kSection, "Cross File", options.CrossFile) &&
              file.WriteInteger(kSection, "Radix", options.Radix) &&
              file.WriteInteger(kSection, "Warning Level", options.WarningLevel) &&
              file.WriteInteger(kSection, "Hex Output", options.HexOutput) &&
              file.WriteInteger(kSection, "Macro", options.Macro) &&
              file.WriteBool(kSection, "Case Sensitive", options.CaseSensitive) &&
              file.WriteString(kSection, "Processor", options.Processor) &&
              file.WriteString(kSection, "Additional", options.Additional);
    return file.commitBatch() && ok;
}
