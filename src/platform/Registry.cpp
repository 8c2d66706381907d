// SPDX-License-Identifier: GPL-3.0-or-later
// The settings registry: parsing and writing the two INI-like root files, atomically.
#include "platform/Registry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <utility>

namespace {

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

// Key paths are compared without trailing backslashes: "A\B\" and "a\b" name one key.
std::string_view TrimKey(std::string_view path) {
    while (!path.empty() && path.back() == '\\')
        path.remove_suffix(1);
    while (!path.empty() && path.front() == '\\')
        path.remove_prefix(1);
    return path;
}

std::string Quote(std::string_view text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Reads a quoted text at the start of `in`; on success `in` is left after the closing quote.
std::optional<std::string> Unquote(std::string_view& in) {
    if (in.empty() || in.front() != '"')
        return std::nullopt;
    std::string out;
    size_t i = 1;
    while (i < in.size() && in[i] != '"') {
        if (in[i] != '\\') {
            out += in[i++];
            continue;
        }
        if (i + 1 >= in.size())
            return std::nullopt;
        if (in[i + 1] == 'x') {
            if (i + 3 >= in.size() || HexDigit(in[i + 2]) < 0 || HexDigit(in[i + 3]) < 0)
                return std::nullopt;
            out += char(HexDigit(in[i + 2]) * 16 + HexDigit(in[i + 3]));
            i += 4;
        } else {
            out += in[i + 1];
            i += 2;
        }
    }
    if (i >= in.size())
        return std::nullopt;
    in.remove_prefix(i + 1);
    return out;
}

std::optional<RegValue> ParseData(std::string_view data) {
    RegValue value;
    if (data.starts_with("\"")) {
        auto text = Unquote(data);
        if (!text || !data.empty())
            return std::nullopt;
        value.text = *text;
        return value;
    }
    if (data.starts_with("dword:")) {
        data.remove_prefix(6);
        if (data.empty() || data.size() > 8)
            return std::nullopt;
        uint32_t n = 0;
        for (char c : data) {
            if (HexDigit(c) < 0)
                return std::nullopt;
            n = n * 16 + uint32_t(HexDigit(c));
        }
        value.type = RegValue::Type::Dword;
        value.dword = n;
        return value;
    }
    if (data.starts_with("hex:")) {
        data.remove_prefix(4);
        value.type = RegValue::Type::Binary;
        while (!data.empty()) {
            if (data.size() < 2 || HexDigit(data[0]) < 0 || HexDigit(data[1]) < 0)
                return std::nullopt;
            value.bytes.push_back(uint8_t(HexDigit(data[0]) * 16 + HexDigit(data[1])));
            data.remove_prefix(2);
            if (!data.empty()) {
                if (data.front() != ',')
                    return std::nullopt;
                data.remove_prefix(1);
            }
        }
        return value;
    }
    return std::nullopt;
}

std::string FormatData(const RegValue& value) {
    char buffer[16];
    switch (value.type) {
        case RegValue::Type::String:
            return Quote(value.text);
        case RegValue::Type::Dword:
            std::snprintf(buffer, sizeof buffer, "dword:%08X", value.dword);
            return buffer;
        case RegValue::Type::Binary: {
            std::string out = "hex:";
            for (size_t i = 0; i < value.bytes.size(); ++i) {
                std::snprintf(buffer, sizeof buffer, i ? ",%02X" : "%02X", value.bytes[i]);
                out += buffer;
            }
            return out;
        }
    }
    return {};
}

}  // namespace

void RegistryHive::load(const std::filesystem::path& file) {
    keys_.clear();
    index_.clear();
    // a FIFO or a device would block or never end, and no settings file comes near 8 MB: such a file is
    // read as a damaged one
    std::error_code ec;
    auto status = std::filesystem::status(file, ec);
    if (std::filesystem::exists(status) && (!std::filesystem::is_regular_file(status) ||
                                            std::filesystem::file_size(file, ec) > kMaxSettingsBytes)) {
        problem_ = file.string() + " is no settings file (" +
                   (std::filesystem::is_regular_file(status) ? "too large" : "not a regular file") + ")";
        return;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return;
    std::stringstream text;
    text << in.rdbuf();
    parse(text.str());
}

void RegistryHive::parse(std::string_view text) {
    Key* current = nullptr;
    while (!text.empty()) {
        size_t end = text.find_first_of("\r\n");
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            // a key whose path is empty once trimmed could not be written back: it is not taken
            bool named =
                line.back() == ']' && line.size() > 2 && !TrimKey(line.substr(1, line.size() - 2)).empty();
            current = named ? &createKey(line.substr(1, line.size() - 2)) : nullptr;
            continue;
        }
        auto name = Unquote(line);
        if (!current || !name || !line.starts_with("="))
            continue;
        line.remove_prefix(1);
        if (auto value = ParseData(line))
            setValue(current->path, *name, std::move(*value));
    }
}

std::string RegistryHive::serialize() const {
    std::string out = "; Korvex settings, written by the program.\n";
    for (const Key& key : keys_) {
        out += "\n[" + key.path + "]\n";
        for (const auto& [name, value] : key.values)
            out += Quote(name) + "=" + FormatData(value) + "\n";
    }
    return out;
}

bool RegistryHive::save(const std::filesystem::path& file, std::string& error) const {
    return WriteFileAtomically(file, serialize(), error);
}

bool RegistryHive::keyExists(std::string_view path) const {
    path = TrimKey(path);
    return std::any_of(keys_.begin(), keys_.end(), [path](const Key& key) {
        // a key exists when it was created itself or when one of its subkeys was
        return SameText(key.path, path) ||
               (key.path.size() > path.size() && key.path[path.size()] == '\\' &&
                SameText(std::string_view(key.path).substr(0, path.size()), path));
    });
}

const RegistryHive::Key* RegistryHive::findKey(std::string_view path) const {
    auto it = index_.find(FoldAsciiCase(TrimKey(path)));
    return it == index_.end() ? nullptr : &keys_[it->second];
}

RegistryHive::Key* RegistryHive::findKey(std::string_view path) {
    return const_cast<Key*>(std::as_const(*this).findKey(path));
}

RegistryHive::Key& RegistryHive::createKey(std::string_view path) {
    if (Key* key = findKey(path))
        return *key;
    keys_.push_back(Key{std::string(TrimKey(path)), {}, {}});
    index_.emplace(FoldAsciiCase(keys_.back().path), keys_.size() - 1);
    return keys_.back();
}

const RegValue* RegistryHive::findValue(std::string_view path, std::string_view name) const {
    const Key* key = findKey(path);
    if (!key)
        return nullptr;
    auto it = key->index.find(FoldAsciiCase(name));
    return it == key->index.end() ? nullptr : &key->values[it->second].second;
}

void RegistryHive::setValue(std::string_view path, std::string_view name, RegValue value) {
    Key& key = createKey(path);
    auto [it, added] = key.index.emplace(FoldAsciiCase(name), key.values.size());
    if (added)
        key.values.emplace_back(std::string(name), std::move(value));
    else
        key.values[it->second].second = std::move(value);
}

Registry::Registry(std::filesystem::path configDir) : dir_(std::move(configDir)) {
    machine_.load(fileOf(RegRoot::LocalMachine));
    user_.load(fileOf(RegRoot::CurrentUser));
}

std::filesystem::path Registry::defaultConfigDir() {
    if (const char* own = std::getenv("KORVEX_CONFIG_HOME"); own && *own)
        return own;
    std::filesystem::path base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
        base = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        base = std::filesystem::path(home) / ".config";
    else
        base = std::filesystem::temp_directory_path();
    return base / "Tervane" / "Korvex v0.30";
}

std::filesystem::path Registry::fileOf(RegRoot root) const {
    return dir_ / (root == RegRoot::LocalMachine ? "machine.ini" : "user.ini");
}

bool Registry::keyExists(RegRoot root, std::string_view key) const {
    return hive(root).keyExists(key);
}

bool Registry::createKey(RegRoot root, std::string_view key) {
    if (hive(root).findKey(key))
        return true;
    Change change{std::string(key), {}, std::nullopt};
    if (batchDepth_ > 0) {
        apply(hive(root), change);
        (root == RegRoot::LocalMachine ? pendingMachine_ : pendingUser_).push_back(std::move(change));
        (root == RegRoot::LocalMachine ? dirtyMachine_ : dirtyUser_) = true;
        return true;
    }
    return store(root, {change});
}

void Registry::apply(RegistryHive& hive, const Change& change) {
    if (change.value)
        hive.setValue(change.key, change.name, *change.value);
    else
        hive.createKey(change.key);
}

namespace {

// An exclusive lock on a file beside the settings, held while one process reads, merges and writes them.
class FileLock {
  public:
    explicit FileLock(const std::filesystem::path& file)
        : fd_(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (fd_ >= 0)
            while (::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    ~FileLock() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

  private:
    int fd_;
};

}  // namespace

bool Registry::store(RegRoot root, const std::vector<Change>& changes) {
    std::filesystem::path file = fileOf(root);
    std::error_code ec;
    std::filesystem::create_directories(dir_, ec);
    FileLock lock(file.string() + ".lock");
    RegistryHive merged;
    merged.load(file);
    if (!merged.problem().empty())
        merged = hive(root);  // what is there cannot be read: this process's settings stand
    for (const Change& change : changes)
        apply(merged, change);
    if (!merged.save(file, lastError_))
        return false;
    hive(root) = std::move(merged);
    return true;
}

std::optional<std::string> Registry::readString(RegRoot root, std::string_view key,
                                                std::string_view name) const {
    const RegValue* value = hive(root).findValue(key, name);
    if (!value || value->type != RegValue::Type::String)
        return std::nullopt;
    return value->text;
}

std::optional<uint32_t> Registry::readDword(RegRoot root, std::string_view key, std::string_view name) const {
    const RegValue* value = hive(root).findValue(key, name);
    if (!value || value->type != RegValue::Type::Dword)
        return std::nullopt;
    return value->dword;
}

std::optional<std::vector<uint8_t>> Registry::readBinary(RegRoot root, std::string_view key,
                                                         std::string_view name) const {
    const RegValue* value = hive(root).findValue(key, name);
    if (!value || value->type != RegValue::Type::Binary)
        return std::nullopt;
    return value->bytes;
}

bool Registry::writeString(RegRoot root, std::string_view key, std::string_view name, std::string_view value,
                           CreateKey create) {
    RegValue v;
    v.text = std::string(value);
    return write(root, key, name, std::move(v), create);
}

bool Registry::writeDword(RegRoot root, std::string_view key, std::string_view name, uint32_t value,
                          CreateKey create) {
    RegValue v;
    v.type = RegValue::Type::Dword;
    v.dword = value;
    return write(root, key, name, std::move(v), create);
}

bool Registry::writeBinary(RegRoot root, std::string_view key, std::string_view name,
                           const std::vector<uint8_t>& value, CreateKey create) {
    RegValue v;
    v.type = RegValue::Type::Binary;
    v.bytes = value;
    return write(root, key, name, std::move(v), create);
}

bool Registry::write(RegRoot root, std::string_view key, std::string_view name, RegValue value,
                     CreateKey create) {
    if (create == CreateKey::No && !hive(root).findKey(key)) {
        lastError_ = "The registry key \"" + std::string(key) + "\" does not exist";
        return false;
    }
    Change change{std::string(key), std::string(name), std::move(value)};
    if (batchDepth_ > 0) {
        apply(hive(root), change);
        (root == RegRoot::LocalMachine ? pendingMachine_ : pendingUser_).push_back(std::move(change));
        (root == RegRoot::LocalMachine ? dirtyMachine_ : dirtyUser_) = true;
        return true;
    }
    // memory takes the change only when the file took it, so memory and disk agree
    return store(root, {change});
}

bool Registry::commitBatch() {
    if (batchDepth_ == 0 || --batchDepth_ > 0)
        return true;
    bool ok = true;
    if (dirtyMachine_)
        ok = store(RegRoot::LocalMachine, pendingMachine_) && ok;
    if (dirtyUser_)
        ok = store(RegRoot::CurrentUser, pendingUser_) && ok;
    dirtyMachine_ = dirtyUser_ = false;
    pendingMachine_.clear();
    pendingUser_.clear();
    return ok;
}

void Registry::setValue(RegistryHive& hive, std::string_view key, std::string_view name, RegValue value) {
    hive.setValue(key, name, std::move(value));
}

namespace {

// A symbolic link is written through: its target is replaced and the link stays.
std::filesystem::path ThroughLinks(const std::filesystem::path& file) {
    std::error_code ec;
    std::filesystem::path target = file;
    for (int hops = 0; hops < 16 && std::filesystem::is_symlink(target, ec); ++hops) {
        std::filesystem::path next = std::filesystem::read_symlink(target, ec);
        if (ec)
            break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

// The permissions the written file gets: those of the file it replaces, else what the umask allows. When
// root rewrites a user's file, the file stays the user's.
void TakeOver(int fd, const std::filesystem::path& file) {
    struct stat old {};
    if (::stat(file.c_str(), &old) != 0) {
        mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
        return;
    }
    if (::geteuid() == 0 && (old.st_uid != 0 || old.st_gid != 0))
        (void)!::fchown(fd, old.st_uid, old.st_gid);
    ::fchmod(fd, old.st_mode & 07777);
}

// Temporary files of ours ("user.ini.AbC123") that a process killed while writing left behind. One younger
// than a minute may belong to a writer at work and stays.
void RemoveStaleTemporaries(const std::filesystem::path& file) {
    std::error_code ec;
    std::string prefix = file.filename().string() + ".";
    auto now = std::filesystem::file_time_type::clock::now();
    for (const auto& entry : std::filesystem::directory_iterator(file.parent_path(), ec)) {
        std::string name = entry.path().filename().string();
        if (name.size() != prefix.size() + 6 || !name.starts_with(prefix) || !entry.is_regular_file(ec))
            continue;
        std::string_view suffix = std::string_view(name).substr(prefix.size());
        bool ours =
            std::all_of(suffix.begin(), suffix.end(), [](char c) { return std::isalnum((unsigned char)c); });
        if (ours && now - entry.last_write_time(ec) > std::chrono::minutes(1))
            std::filesystem::remove(entry.path(), ec);
    }
}

// The rename reaches the disk with the folder that holds it.
void SyncFolder(const std::filesystem::path& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

std::string FoldAsciiCase(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return out;
}

bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes, std::string& error,
                         MakeFolder makeFolder) {
    std::filesystem::path file = ThroughLinks(path);
    std::error_code ec;
    if (makeFolder == MakeFolder::Yes)
        std::filesystem::create_directories(file.parent_path(), ec);
    RemoveStaleTemporaries(file);
    std::string temp = file.string() + ".XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) {
        error = "Cannot write " + file.string() + ": " + std::strerror(errno);
        return false;
    }
    TakeOver(fd, file);
    bool ok = true;
    for (size_t done = 0; ok && done < bytes.size();) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            done += size_t(n);
    }
    ok = ok && ::fsync(fd) == 0;
    int savedErrno = errno;
    ok = (::close(fd) == 0) && ok;
    if (ok && std::rename(temp.c_str(), file.c_str()) == 0) {
        SyncFolder(file.parent_path());
        return true;
    }
    error = "Cannot write " + file.string() + ": " + std::strerror(ok ? errno : savedErrno);
    ::unlink(temp.c_str());
    return false;
}
