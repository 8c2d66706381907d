// SPDX-License-Identifier: GPL-3.0-or-later
// The current project and the operations on its file: the format, the assembler options and the file entries.
#pragma once

#include "assembler/MpasmOptions.h"

#include <array>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

class ProfileFile;

// The open project (or the last one, once closed): read by the build and the Project window.
extern std::string ProjectPath;      // the project file as chosen
extern std::string ProjectDir;       // its folder, ending in "/"
extern std::string ProjectFileName;  // its file name
extern int ProjectFormat;            // 0 no format, 1 MPASM

// The format name written for each format code.
inline constexpr std::array<std::string_view, 2> FormatNames = {"", "MPASM"};

// A project file lists at most this many files; a larger count in a hand-edited file reads this many.
inline constexpr int kMaxProjectFiles = 100000;

// The folder part of a path, up to and including its last "/"; empty when it has none.
std::string FolderPart(std::string_view path);
// What follows the last "/".
std::string FileNameOf(std::string_view path);
// The extension of the file-name part, from its last "." (dot included), upper-cased; empty when none.
std::string UpperExtension(std::string_view path);
// Sets ProjectPath, ProjectDir and ProjectFileName from a path.
void SetProjectPath(std::string_view path);

// The format code a project file names ("MPASM", letter case counting); 0 for any other name. The
// assembler options are read only for an MPASM project.
struct TProjectSettings {
    int format = 0;
    TMpasmOptions options;
};
TProjectSettings ReadProjectSettings(const ProfileFile& file);

// The file entries in their order; a missing entry reads as an empty line.
struct TProjectFiles {
    std::vector<std::string> files;
    int listedCount = 0;  // the count the file states; above kMaxProjectFiles only that many are shown
    // The entries past kMaxProjectFiles: not shown, but written back unchanged after the shown ones, so a
    // change to the list never loses them.
    std::vector<std::string> beyond;
};
TProjectFiles ReadProjectFiles(const ProfileFile& file);
// The open project's entries past the ones shown (see TProjectFiles::beyond); empty for most projects.
extern std::vector<std::string> ProjectFilesBeyond;

// Replaces the section of file entries by these, in one write; false when it failed (file.error() says
// why; the file on disk is as it was).
bool WriteProjectFiles(ProfileFile& file, const std::vector<std::string>& files);

// A new project's file, replacing any file at its path in one write: the format and, for an MPASM
// project, its assembler options.
bool WriteNewProjectFile(ProfileFile& file, int format, const TMpasmOptions& options);

// The breakpoints of the project's program: a source as the project names it (relative to the project
// folder when it lies there, else a full path) and a line from 1. They are kept in a section of their own,
// [BREAKPOINTS], which the settings and the file entries never touch.
using TBreakpoints = std::set<std::pair<std::string, int>>;
TBreakpoints ReadProjectBreakpoints(const ProfileFile& file);
// What a breakpoint keeps beside its line: it stops from its Nth hit on (0 or 1: at every hit), or it is
// switched off. Kept as "Hits<n>" and "Off<n>" beside "Breakpoint<n>", so a reader that knows only the lines
// still reads them.
struct TBreakpointOptions {
    int fromHit = 0;
    bool enabled = true;
    bool operator==(const TBreakpointOptions&) const = default;
};
using TBreakpointSettings = std::map<std::pair<std::string, int>, TBreakpointOptions>;
TBreakpointSettings ReadProjectBreakpointOptions(const ProfileFile& file);
// The breakpoints on registers, as entries the debugger reads ("write,Count", "equals,PORTB,0x05,off").
std::vector<std::string> ReadProjectRegisterBreakpoints(const ProfileFile& file);
// Replaces the section of breakpoints by these, in one write; false when it failed (the file is as it was).
// Options of lines that are not among the breakpoints, and options with nothing to say, are not written.
bool WriteProjectBreakpoints(ProfileFile& file, const TBreakpoints& breakpoints,
                             const TBreakpointSettings& options = {}, const std::vector<std::string>& registers = {});

// The watches of the project's program, kept in [WATCHES] before [FILES]: a register's name or an address
// as the user gave it, and the format its value is shown in ("hex", "dec", "bin" or "char").
struct TWatchEntry {
    std::string symbol;
    std::string format;
    bool operator==(const TWatchEntry&) const = default;
};
std::vector<TWatchEntry> ReadProjectWatches(const ProfileFile& file);
// Replaces the section of watches by these, in one write; false when it failed (the file is as it was).
bool WriteProjectWatches(ProfileFile& file, const std::vector<TWatchEntry>& watches);

// How the project's program is simulated, kept in [SIMULATE] before [FILES]: the processor's clock (the
// examples' crystal, 4 MHz, when the file names none or an absurd one) and, for a part gpsim lacks, the gpsim
// part that stands in (empty: the compatible part gpsim is known to have).
struct TSimulateOptions {
    static constexpr double kDefaultClockHz = 4e6;
    static constexpr double kMinClockHz = 1, kMaxClockHz = 100e6;
    double clockHz = kDefaultClockHz;
    std::string standIn;
    bool operator==(const TSimulateOptions&) const = default;
};
TSimulateOptions ReadProjectSimulate(const ProfileFile& file);
bool WriteProjectSimulate(ProfileFile& file, const TSimulateOptions& options);
