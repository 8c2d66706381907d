// SPDX-License-Identifier: GPL-3.0-or-later
// The current project and its file: path parts, reading the settings and the entries, writing them back.
#include "shell/Project.h"

#include "platform/ProfileFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

std::string ProjectPath;
std::string ProjectDir;
std::string ProjectFileName;
int ProjectFormat = 0;
std::vector<std::string> ProjectFilesBeyond;

namespace {

constexpr std::string_view kProjectSection = "PROJECT";
constexpr std::string_view kFilesSection = "FILES";
constexpr std::string_view kBreakpointsSection = "BREAKPOINTS";
constexpr int kMaxFromHit = 1000000;
constexpr std::string_view kWatchesSection = "WATCHES";
constexpr int kMaxWatches = 1000;
constexpr std::string_view kSimulateSection = "SIMULATE";

std::string EntryKey(size_t index) {
    return "File" + std::to_string(index);
}

}  // namespace

std::string FolderPart(std::string_view path) {
    size_t cut = path.rfind('/');
    return std::string(cut == std::string_view::npos ? std::string_view{} : path.substr(0, cut + 1));
}

std::string FileNameOf(std::string_view path) {
    return std::string(path.substr(FolderPart(path).size()));
}

std::string UpperExtension(std::string_view path) {
    std::string name = FileNameOf(path);
    size_t dot = name.rfind('.');
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; });
    return extension;
}

void SetProjectPath(std::string_view path) {
    ProjectPath = path;
    ProjectDir = FolderPart(path);
    ProjectFileName = FileNameOf(path);
}

TProjectSettings ReadProjectSettings(const ProfileFile& file) {
    TProjectSettings settings;
    if (file.ReadString(kProjectSection, "Format", "") == FormatNames[1])
        settings.format = 1;
    if (settings.format == 1)
        settings.options = ReadMpasmOptions(file);
    return settings;
}

TProjectFiles ReadProjectFiles(const ProfileFile& file) {
    TProjectFiles read;
    read.listedCount = std::max(0, file.ReadInteger(kFilesSection, "Count", 0));
    size_t count = size_t(std::min(read.listedCount, kMaxProjectFiles));
    read.files.reserve(count);
    for (size_t i = 0; i < count; ++i)
        read.files.push_back(file.ReadString(kFilesSection, EntryKey(i), ""));
    // the file's size bounds how many entries it can hold; a count beyond that names nothing more
    size_t rest = std::min(size_t(read.listedCount), kMaxProfileFileBytes / 8);
    size_t last = count;  // past the last entry the file really holds
    for (size_t i = count; i < rest; ++i)
        if (file.HasKey(kFilesSection, EntryKey(i)))
            last = i + 1;
    for (size_t i = count; i < last; ++i)
        read.beyond.push_back(file.ReadString(kFilesSection, EntryKey(i), ""));
    return read;
}

bool WriteProjectFiles(ProfileFile& file, const std::vector<std::string>& files) {
    file.beginBatch();
    file.EraseSection(kFilesSection);
    bool ok = file.WriteInteger(kFilesSection, "Count", int(files.size()));
    for (size_t i = 0; ok && i < files.size(); ++i)
        ok = file.WriteString(kFilesSection, EntryKey(i), files[i]);
    return file.commitBatch() && ok;
}

bool WriteNewProjectFile(ProfileFile& file, int format, const TMpasmOptions& options) {
    if (format < 0 || size_t(format) >= FormatNames.size())
        format = 0;
    file.beginBatch();
    bool ok = file.WriteString(kProjectSection, "Format", FormatNames[size_t(format)]);
    if (format == 1)
        ok = WriteMpasmOptions(file, options) && ok;
    return file.commitBatch() && ok;
}

TBreakpoints ReadProjectBreakpoints(const ProfileFile& file) {
    TBreakpoints breakpoints;
    int count = std::clamp(file.ReadInteger(kBreakpointsSection, "Count", 0), 0, kMaxProjectFiles);
    for (int i = 0; i < count; ++i) {
        // "sub.inc,12": the line follows the last comma, since a file name may hold commas
        std::string entry = file.ReadString(kBreakpointsSection, "Breakpoint" + std::to_string(i), "");
        size_t comma = entry.rfind(',');
        if (comma == std::string::npos || comma == 0)
            continue;
        int line = std::atoi(entry.c_str() + comma + 1);
        if (line > 0)
            breakpoints.insert({entry.substr(0, comma), line});
    }
    return breakpoints;
}

TSimulateOptions ReadProjectSimulate(const ProfileFile& file) {
    TSimulateOptions options;
    std::string clock = file.ReadString(kSimulateSection, "Clock", "");
    char* end = nullptr;
    double hz = std::strtod(clock.c_str(), &end);
    if (!clock.empty() && end && *end == '\0' && hz >= TSimulateOptions::kMinClockHz &&
        hz <= TSimulateOptions::kMaxClockHz)
        options.clockHz = hz;
    std::string standIn = file.ReadString(kSimulateSection, "Stand-in", "");
    // a gpsim part name is a word of letters and digits: anything else would be a second command to gpsim
    if (!standIn.empty() && std::all_of(standIn.begin(), standIn.end(), [](char c) { return std::isalnum(uint8_t(c)); }))
        options.standIn = standIn;
    return options;
}

bool WriteProjectSimulate(ProfileFile& file, const TSimulateOptions& options) {
    file.beginBatch();
    file.keepLast("FILES");
    file.EraseSection(kSimulateSection);
    char clock[32];
    std::snprintf(clock, sizeof clock, "%.15g", options.clockHz);
    bool ok = file.WriteString(kSimulateSection, "Clock", clock);
    if (!options.standIn.empty())
        ok = ok && file.WriteString(kSimulateSection, "Stand-in", options.standIn);
    return file.commitBatch() && ok;
}

bool WriteProjectBreakpoints(ProfileFile& file, const TBreakpoints& breakpoints, const TBreakpointSettings& options,
                             const std::vector<std::string>& registers) {
    file.beginBatch();
    // readers of the project format take [FILES] for the last section: the breakpoints go before it, also
    // in a file that had them after it
    file.keepLast("FILES");
    file.EraseSection(kBreakpointsSection);
    bool ok = true;
    if (!breakpoints.empty()) {
        ok = file.WriteInteger(kBreakpointsSection, "Count", int(breakpoints.size()));
        int i = 0;
        for (const auto& breakpoint : breakpoints) {
            std::string n = std::to_string(i++);
            ok = ok && file.WriteString(kBreakpointsSection, "Breakpoint" + n,
                                        breakpoint.first + "," + std::to_string(breakpoint.second));
            auto option = options.find(breakpoint);
            if (option == options.end())
                continue;
            if (option->second.fromHit > 1)
                ok = ok && file.WriteInteger(kBreakpointsSection, "Hits" + n, option->second.fromHit);
            if (!option->second.enabled)
                ok = ok && file.WriteInteger(kBreakpointsSection, "Off" + n, 1);
        }
    }
    if (!registers.empty()) {
        ok = ok && file.WriteInteger(kBreakpointsSection, "RegisterCount", int(registers.size()));
        for (size_t i = 0; i < registers.size(); ++i)
            ok = ok && file.WriteString(kBreakpointsSection, "Register" + std::to_string(i), registers[i]);
    }
    return file.commitBatch() && ok;
}

TBreakpointSettings ReadProjectBreakpointOptions(const ProfileFile& file) {
    TBreakpointSettings options;
    int count = std::clamp(file.ReadInteger(kBreakpointsSection, "Count", 0), 0, kMaxProjectFiles);
    for (int i = 0; i < count; ++i) {
        std::string n = std::to_string(i);
        std::string entry = file.ReadString(kBreakpointsSection, "Breakpoint" + n, "");
        size_t comma = entry.rfind(',');
        int line = comma == std::string::npos || comma == 0 ? 0 : std::atoi(entry.c_str() + comma + 1);
        if (line <= 0)
            continue;
        TBreakpointOptions option;
        option.fromHit = std::clamp(file.ReadInteger(kBreakpointsSection, "Hits" + n, 0), 0, kMaxFromHit);
        option.enabled = file.ReadInteger(kBreakpointsSection, "Off" + n, 0) == 0;
        if (option != TBreakpointOptions())
            options[{entry.substr(0, comma), line}] = option;
    }
    return options;
}

std::vector<std::string> ReadProjectRegisterBreakpoints(const ProfileFile& file) {
    std::vector<std::string> registers;
    int count = std::clamp(file.ReadInteger(kBreakpointsSection, "RegisterCount", 0), 0, kMaxProjectFiles);
    for (int i = 0; i < count; ++i)
        if (std::string entry = file.ReadString(kBreakpointsSection, "Register" + std::to_string(i), ""); !entry.empty())
            registers.push_back(entry);
    return registers;
}

std::vector<TWatchEntry> ReadProjectWatches(const ProfileFile& file) {
    std::vector<TWatchEntry> watches;
    int count = std::clamp(file.ReadInteger(kWatchesSection, "Count", 0), 0, kMaxWatches);
    for (int i = 0; i < count; ++i) {
        // "Count,hex": the format follows the last comma
        std::string entry = file.ReadString(kWatchesSection, "Watch" + std::to_string(i), "");
        size_t comma = entry.rfind(',');
        std::string symbol = entry.substr(0, comma);
        if (symbol.empty())
            continue;
        watches.push_back({symbol, comma == std::string::npos ? "hex" : entry.substr(comma + 1)});
    }
    return watches;
}

bool WriteProjectWatches(ProfileFile& file, const std::vector<TWatchEntry>& watches) {
    file.beginBatch();
    file.keepLast("FILES");
    file.EraseSection(kWatchesSection);
    bool ok = true;
    if (!watches.empty()) {
        ok = file.WriteInteger(kWatchesSection, "Count", int(watches.size()));
        for (size_t i = 0; i < watches.size(); ++i)
            ok = ok && file.WriteString(kWatchesSection, "Watch" + std::to_string(i),
                                        watches[i].symbol + "," + watches[i].format);
    }
    return file.commitBatch() && ok;
}
