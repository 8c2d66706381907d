// SPDX-License-Identifier: GPL-3.0-or-later
// The assembler option set of an MPASM project, its section in the project file and its command-line
// switches.
#pragma once

#include <array>
#include <string>
#include <string_view>

class ProfileFile;

struct TMpasmOptions {
    bool ListFile = true;
    bool CrossFile = false;
    int Radix = 0;         // item index of the Radix group
    int WarningLevel = 0;  // item index of the Warning Level group
    int HexOutput = 0;     // item index of the Hex Output group
    int Macro = 0;         // item index of the Macro Expansion group
    bool CaseSensitive = false;
    std::string Processor = "16C61";
    std::string Additional;

    bool operator==(const TMpasmOptions&) const = default;
};

// Every field back to its default.
void ResetOptions(TMpasmOptions& options);

// One radio item: its caption (with "&&" for a shown "&") and the switch it adds, each switch ending in a
// blank.
struct TOptionItem {
    std::string_view caption;
    std::string_view option;
};
inline constexpr std::array<TOptionItem, 4> kRadixItems = {
    {{"Default", ""}, {"Hexadecimal", "/rhex "}, {"Decimal", "/rdec "}, {"Octal", "/roct "}}};
inline constexpr std::array<TOptionItem, 4> kWarningItems = {
    {{"Default", ""}, {"All Messages", "/w0 "}, {"Warnings && Errors", "/w1 "}, {"Errors Only", "/w2 "}}};
inline constexpr std::array<TOptionItem, 4> kHexOutputItems = {
    {{"Default", ""}, {"INHX8M", "/aINHX8M "}, {"INHX8S", "/aINHX8S "}, {"INHX32", "/aINHX32 "}}};
inline constexpr std::array<TOptionItem, 3> kMacroItems = {
    {{"Default", ""}, {"On", "/m+ "}, {"Off", "/m- "}}};

// The processors the dialog offers, in the order of its list.
inline constexpr std::array<std::string_view, 72> kProcessors = {
    "12C671", "12C672",  "12CE673", "12CE674", "14000",   "16C554",  "16C554A", "16C556",  "16C556A",
    "16C558", "16C558A", "16C61",   "16C62",   "16CR62",  "16C62A",  "16C620",  "16C620A", "16CR620A",
    "16C621", "16C621A", "16C622",  "16C622A", "16CE623", "16CE624", "16CE625", "16C63",   "16C63A",
    "16CR63", "16C64",   "16CR64",  "16C64A",  "16C642",  "16C65",   "16CR65",  "16C65A",  "16C65B",
    "16C66",  "16C662",  "16F627",  "16F628",  "16C67",   "16C71",   "16C710",  "16C711",  "16C712",
    "16C715", "16C716",  "16C72",   "16C72A",  "16CR72",  "16C73",   "16C73A",  "16C73B",  "16C74",
    "16C74A", "16C74B",  "16C76",   "16C77",   "16C773",  "16C774",  "16CR83",  "16C84",   "16CR84",
    "16F83",  "16F84",   "16F84A",  "16F873",  "16F874",  "16F876",  "16F877",  "16C923",  "16C924"};

// The index of the first processor whose name equals `name` without regard to letter case; -1 for none.
int FindProcessor(std::string_view name);

// The switches for the assembler: they begin and end with a blank, so they stand between the assembler's
// path and the source file.
std::string CommandLineOptions(const TMpasmOptions& options);

// The section "MPASM" of a project file: every key missing reads as its default.
TMpasmOptions ReadMpasmOptions(const ProfileFile& file);
// Writes all nine keys in their order; false when the file could not be written (file.error() says why).
bool WriteMpasmOptions(ProfileFile& file, const TMpasmOptions& options);
