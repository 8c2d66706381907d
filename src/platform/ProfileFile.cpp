// SPDX-License-Identifier: GPL-3.0-or-later
// The profile file: parsing into sections, key lookup without regard to case, in-place edits, atomic saves.
#include "platform/ProfileFile.h"

#include "platform/Registry.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <utility>

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// The section name of a header line "[name]", or nothing when the line is no header.
bool HeaderName(std::string_view line, std::string& name) {
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return false;
    size_t close = line.find(']');
    if (close == std::string_view::npos)
        return false;
    name = std::string(Trim(line.substr(1, close - 1)));
    return true;
}

// The key of a line "key=value"; false for a line without an equals sign or with an empty key.
bool KeyOf(std::string_view line, std::string_view& key, std::string_view& value) {
    size_t eq = line.find('=');
    if (eq == std::string_view::npos)
        return false;
    key = Trim(line.substr(0, eq));
    value = line.substr(eq + 1);
    return !key.empty();
}

// A value as the platform's profile functions read it: without the blanks around it, and without the
// quotation marks around it when it has a pair.
std::string_view ValueText(std::string_view text) {
    text = Trim(text);
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
        text = text.substr(1, text.size() - 2);
    return text;
}

// A value as it is written: its exact text, in quotation marks when the reader would otherwise lose
// blanks or quotation marks around it.
std::string WrittenValue(std::string_view value) {
    bool edges = !value.empty() && (value.front() == ' ' || value.front() == '\t' || value.back() == ' ' ||
                                    value.back() == '\t' || value.front() == '"' || value.front() == '\'');
    return edges ? "\"" + std::string(value) + "\"" : std::string(value);
}

std::optional<int> ParseInteger(std::string_view text) {
    text = Trim(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

}  // namespace

ProfileFile::ProfileFile(std::filesystem::path file, Start start) : file_(std::move(file)) {
    parse({});
    std::error_code ec;
    if (start == Start::Empty || !std::filesystem::exists(file_, ec))
        return;
    // a FIFO or a device would block the reader or never end: only a regular file of sane size is read
    std::filesystem::file_status status = std::filesystem::status(file_, ec);
    std::string reason;
    if (std::filesystem::is_directory(status))
        reason = std::strerror(EISDIR);
    else if (!std::filesystem::is_regular_file(status))
        reason = "not a regular file";
    else if (std::filesystem::file_size(file_, ec) > kMaxProfileFileBytes)
        reason = "larger than " + std::to_string(kMaxProfileFileBytes / (1024 * 1024)) + " MB";
    std::ifstream in;
    if (reason.empty()) {
        in.open(file_, std::ios::binary);
        if (!in.is_open())
            reason = std::strerror(errno);
    }
    std::stringstream content;
    if (reason.empty() && in.peek() != std::ifstream::traits_type::eof())
        content << in.rdbuf();
    if (reason.empty() && in.bad())
        reason = std::strerror(EIO);
    if (!reason.empty()) {
        readable_ = false;
        error_ = "Cannot read " + file_.string() + ": " + reason;
        return;
    }
    parse(content.str());
}

void ProfileFile::parse(std::string_view text) {
    sections_.assign(1, Section{});  // the lines before the first header
    size_t firstBreak = text.find('\n');
    if (firstBreak != std::string_view::npos && firstBreak > 0 && text[firstBreak - 1] == '\r')
        eol_ = "\r\n";
    while (!text.empty()) {
        size_t cut = text.find('\n');
        std::string_view line = text.substr(0, cut);
        text = cut == std::string_view::npos ? std::string_view{} : text.substr(cut + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        std::string name;
        if (HeaderName(line, name)) {
            sections_.push_back(Section{std::string(line), name, {}, {}});
            continue;
        }
        Section& section = sections_.back();
        section.lines.emplace_back(line);
        std::string_view key, value;
        if (!section.header.empty() && KeyOf(line, key, value))
            section.keys.emplace(FoldAsciiCase(key),
                                 section.lines.size() - 1);  // the first of duplicate keys wins
    }
    indexSections();
}

void ProfileFile::indexSections() {
    sectionIndex_.clear();
    for (size_t i = 1; i < sections_.size(); ++i)
        sectionIndex_.emplace(FoldAsciiCase(sections_[i].name), i);
}

const ProfileFile::Section* ProfileFile::findSection(std::string_view name) const {
    // names are read without the blanks around them: so are they looked up
    auto it = sectionIndex_.find(FoldAsciiCase(Trim(name)));
    return it == sectionIndex_.end() ? nullptr : &sections_[it->second];
}

ProfileFile::Section* ProfileFile::findSection(std::string_view name) {
    return const_cast<Section*>(std::as_const(*this).findSection(name));
}

const std::string* ProfileFile::findValue(std::string_view section, std::string_view key) const {
    const Section* found = findSection(section);
    if (!found)
        return nullptr;
    auto it = found->keys.find(FoldAsciiCase(Trim(key)));
    return it == found->keys.end() ? nullptr : &found->lines[it->second];
}

std::string ProfileFile::ReadString(std::string_view section, std::string_view key,
                                    std::string_view fallback) const {
    const std::string* line = findValue(section, key);
    if (!line)
        return std::string(fallback);
    return std::string(ValueText(std::string_view(*line).substr(line->find('=') + 1)));
}

int ProfileFile::ReadInteger(std::string_view section, std::string_view key, int fallback) const {
    const std::string* line = findValue(section, key);
    if (!line)
        return fallback;
    return ParseInteger(std::string_view(*line).substr(line->find('=') + 1)).value_or(fallback);
}

bool ProfileFile::ReadBool(std::string_view section, std::string_view key, bool fallback) const {
    const std::string* line = findValue(section, key);
    if (!line)
        return fallback;
    std::optional<int> value = ParseInteger(std::string_view(*line).substr(line->find('=') + 1));
    return value ? *value != 0 : fallback;
}

bool ProfileFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    if (value.find_first_of("\r\n") != std::string_view::npos) {
        error_ =
            "Cannot write " + file_.string() + ": the value of " + std::string(key) + " holds a line break";
        batchFailed_ = batchDepth_ > 0;
        return false;
    }
    section = Trim(section);
    key = Trim(key);
    std::string line = std::string(key) + "=" + WrittenValue(value);
    Section* found = findSection(section);
    if (!found) {
        // before the section that stays last, when there is one; else at the end
        auto at = std::find_if(sections_.begin() + 1, sections_.end(), [this](const Section& s) {
            return !lastSection_.empty() && FoldAsciiCase(s.name) == FoldAsciiCase(lastSection_);
        });
        Section added{"[" + std::string(section) + "]", std::string(section), {}, {}};
        // set off from the section after it by a blank line when the sections before are
        const std::vector<std::string>& before = std::prev(at)->lines;
        if (at != sections_.end() && !before.empty() && Trim(before.back()).empty())
            added.lines.emplace_back();
        found = &*sections_.insert(at, std::move(added));
        indexSections();
    }
    auto it = found->keys.find(FoldAsciiCase(key));
    if (it != found->keys.end()) {
        found->lines[it->second] = std::move(line);
        return changed();
    }
    // after the section's last line that is not blank, so a blank line before the next section stays there
    size_t at = found->lines.size();
    while (at > 0 && Trim(found->lines[at - 1]).empty())
        --at;
    found->lines.insert(found->lines.begin() + long(at), std::move(line));
    found->keys.emplace(FoldAsciiCase(key), at);
    return changed();
}

bool ProfileFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    return WriteString(section, key, std::to_string(value));
}

bool ProfileFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    return WriteString(section, key, value ? "1" : "0");
}

bool ProfileFile::EraseSection(std::string_view section) {
    std::string folded = FoldAsciiCase(Trim(section));
    std::erase_if(sections_, [&folded](const Section& s) {
        return !s.header.empty() && FoldAsciiCase(s.name) == folded;
    });
    indexSections();
    return changed();
}

bool ProfileFile::changed() {
    dirty_ = true;
    return batchDepth_ > 0 || save();
}

bool ProfileFile::commitBatch() {
    if (batchDepth_ > 0)
        --batchDepth_;
    if (batchDepth_ > 0)
        return true;
    if (std::exchange(batchFailed_, false)) {
        // a batch is saved whole or not at all, and memory goes back to what the file holds
        sections_ = std::move(beforeBatch_);
        indexSections();  // the index must name the sections that are there again
        dirty_ = false;
        return false;
    }
    return !dirty_ || save();
}

bool ProfileFile::save() {
    if (!readable_)
        return false;  // error_ still says why the file could not be read
    if (!WriteFileAtomically(file_, text(), error_))
        return false;
    dirty_ = false;
    return true;
}

std::string ProfileFile::text() const {
    std::string out;
    for (const Section& section : sections_) {
        if (!section.header.empty())
            out += section.header + eol_;
        for (const std::string& line : section.lines)
            out += line + eol_;
    }
    return out;
}
