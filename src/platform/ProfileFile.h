// SPDX-License-Identifier: GPL-3.0-or-later
// A profile file: named sections of Key=Value lines, read and written one key at a time, saved atomically.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// A profile file larger than this is refused: no project or settings file comes near it.
inline constexpr size_t kMaxProfileFileBytes = 8 * 1024 * 1024;

// Section and key names match without regard to ASCII letter case; values are stored unchanged and read
// without their leading and trailing blanks, as the platform's profile functions give them. Lines the
// reader does not understand (comments, text before the first section) survive every write.
class ProfileFile {
  public:
    enum class Start { FromDisk, Empty };

    // Reads the file now; a missing file is an empty one. With Start::Empty the old content is ignored and
    // the next save replaces the file.
    explicit ProfileFile(std::filesystem::path file, Start start = Start::FromDisk);

    // False when the file exists but could not be read (or is no regular file, or is larger than
    // kMaxProfileFileBytes); it is then never written, so nothing is lost.
    bool readable() const { return readable_; }
    // Why the last read or write failed.
    const std::string& error() const { return error_; }
    const std::filesystem::path& path() const { return file_; }

    // A missing section or key reads as the default; so does an integer or boolean that is not a decimal
    // integer. A boolean is any non-zero integer.
    std::string ReadString(std::string_view section, std::string_view key, std::string_view fallback) const;
    int ReadInteger(std::string_view section, std::string_view key, int fallback) const;
    bool ReadBool(std::string_view section, std::string_view key, bool fallback) const;
    bool HasKey(std::string_view section, std::string_view key) const { return findValue(section, key); }

    // A key in an existing section is replaced in place, a new key goes to the end of its section and a
    // new section to the end of the file. Each write saves the file at once unless a batch is open; false
    // when the value holds a line break or the file cannot be written (error() says why, the file on disk
    // is as it was).
    bool WriteString(std::string_view section, std::string_view key, std::string_view value);
    bool WriteInteger(std::string_view section, std::string_view key, int value);
    bool WriteBool(std::string_view section, std::string_view key, bool value);
    // A section that stays last (a project's [FILES]): sections written anew go before it.
    void keepLast(std::string_view section) { lastSection_ = section; }
    // Removes the section's header and all its lines (every section of that name).
    bool EraseSection(std::string_view section);

    // Between beginBatch and commitBatch, writes change memory only; commitBatch saves once, so a group
    // of keys reaches the disk together or not at all: after a refused write, commitBatch saves nothing.
    void beginBatch() {
        if (batchDepth_++ == 0)
            beforeBatch_ = sections_;
    }
    bool commitBatch();

    // The file's text as it would be saved.
    std::string text() const;

  private:
    struct Section {
        std::string header;  // the header line as read, or empty for the lines before the first section
        std::string name;
        std::vector<std::string> lines;
        std::unordered_map<std::string, size_t> keys;  // folded key -> its first line
    };

    void parse(std::string_view text);
    void indexSections();
    Section* findSection(std::string_view name);
    const Section* findSection(std::string_view name) const;
    const std::string* findValue(std::string_view section, std::string_view key) const;
    bool changed();
    bool save();

    std::filesystem::path file_;
    std::vector<Section> sections_;
    std::vector<Section> beforeBatch_;                      // what a refused batch returns to
    std::unordered_map<std::string, size_t> sectionIndex_;  // folded name -> first section of that name
    std::string eol_ = "\n";
    std::string lastSection_;
    std::string error_;
    bool readable_ = true;
    bool dirty_ = false;
    bool batchFailed_ = false;
    int batchDepth_ = 0;
};
