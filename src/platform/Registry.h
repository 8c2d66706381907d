// SPDX-License-Identifier: GPL-3.0-or-later
// The settings registry: two roots (machine and user), each kept as one INI-like file in the config folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

enum class RegRoot { LocalMachine, CurrentUser };

// Whether a write may create the key it writes to.
enum class CreateKey { No, Yes };

struct RegValue {
    enum class Type { String, Dword, Binary };
    Type type = Type::String;
    std::string text;
    uint32_t dword = 0;
    std::vector<uint8_t> bytes;
};

// One root: keys (paths like "Software\Tervane\Korvex v0.30\Project") holding named values.
// Key paths and value names match without regard to ASCII letter case, as in the Windows registry.
inline constexpr uintmax_t kMaxSettingsBytes = 8 * 1024 * 1024;

class RegistryHive {
  public:
    struct Key {
        std::string path;
        std::vector<std::pair<std::string, RegValue>> values;
        std::unordered_map<std::string, size_t> index;  // folded value name -> its place in values
    };

    // Reads the file; a missing, empty or damaged file leaves only the keys that could be read. A file that
    // is no regular file or is larger than kMaxSettingsBytes is not read: problem() says so.
    void load(const std::filesystem::path& file);
    const std::string& problem() const { return problem_; }
    // Writes the whole hive atomically; false (and the old file intact) when that fails.
    bool save(const std::filesystem::path& file, std::string& error) const;

    std::string serialize() const;
    void parse(std::string_view text);

    bool keyExists(std::string_view path) const;
    const Key* findKey(std::string_view path) const;
    Key* findKey(std::string_view path);
    Key& createKey(std::string_view path);
    const RegValue* findValue(std::string_view path, std::string_view name) const;
    // Replaces the value of that name (any letter case) or adds it at the end of the key's values.
    void setValue(std::string_view path, std::string_view name, RegValue value);

  private:
    std::vector<Key> keys_;
    std::unordered_map<std::string, size_t> index_;  // folded key path -> its place in keys_
    std::string problem_;
};

class Registry {
  public:
    // What kept a settings file from being read (no regular file, too large); empty when both were read.
    std::string loadProblem() const {
        return machine_.problem().empty() ? user_.problem() : machine_.problem();
    }
    // configDir holds machine.ini and user.ini; it is created on the first write.
    explicit Registry(std::filesystem::path configDir);

    // $KORVEX_CONFIG_HOME if set, else <XDG config home>/Tervane/Korvex v0.30.
    static std::filesystem::path defaultConfigDir();

    const std::filesystem::path& configDir() const { return dir_; }
    std::filesystem::path fileOf(RegRoot root) const;

    bool keyExists(RegRoot root, std::string_view key) const;
    bool createKey(RegRoot root, std::string_view key);

    // Each read gives nothing when the key or value is missing or holds another type.
    std::optional<std::string> readString(RegRoot root, std::string_view key, std::string_view name) const;
    std::optional<uint32_t> readDword(RegRoot root, std::string_view key, std::string_view name) const;
    std::optional<std::vector<uint8_t>> readBinary(RegRoot root, std::string_view key,
                                                   std::string_view name) const;

    // Each write is saved at once; false when the key is missing (and may not be created) or the
    // file cannot be written. lastError() then says why.
    bool writeString(RegRoot root, std::string_view key, std::string_view name, std::string_view value,
                     CreateKey create = CreateKey::Yes);
    bool writeDword(RegRoot root, std::string_view key, std::string_view name, uint32_t value,
                    CreateKey create = CreateKey::Yes);
    bool writeBinary(RegRoot root, std::string_view key, std::string_view name,
                     const std::vector<uint8_t>& value, CreateKey create = CreateKey::Yes);

    const std::string& lastError() const { return lastError_; }

    // Between beginBatch and commitBatch, writes change memory only; commitBatch saves each changed root
    // once. Saving twenty values costs one atomic write instead of twenty.
    void beginBatch() { ++batchDepth_; }
    bool commitBatch();

  private:
    // One change of this process: a key made, or a value set in it.
    struct Change {
        std::string key;
        std::string name;  // empty with no value: the key alone
        std::optional<RegValue> value;
    };
    // Under the root's lock file: the file as it is now (another Korvex may have written it), this process's
    // changes over it, written back; memory takes the result. False when the write failed.
    bool store(RegRoot root, const std::vector<Change>& changes);
    static void apply(RegistryHive& hive, const Change& change);

    RegistryHive& hive(RegRoot root) { return root == RegRoot::LocalMachine ? machine_ : user_; }
    const RegistryHive& hive(RegRoot root) const { return root == RegRoot::LocalMachine ? machine_ : user_; }
    static void setValue(RegistryHive& hive, std::string_view key, std::string_view name, RegValue value);
    bool write(RegRoot root, std::string_view key, std::string_view name, RegValue value, CreateKey create);

    std::filesystem::path dir_;
    RegistryHive machine_;
    RegistryHive user_;
    std::string lastError_;
    int batchDepth_ = 0;
    bool dirtyMachine_ = false;
    bool dirtyUser_ = false;
    std::vector<Change> pendingMachine_, pendingUser_;  // a batch's changes, kept for its commit
};

// A batch of registry writes for the lifetime of the object; commit() saves and says whether that worked.
class RegistryBatch {
  public:
    explicit RegistryBatch(Registry& registry) : registry_(registry) { registry_.beginBatch(); }
    ~RegistryBatch() {
        if (!done_)
            registry_.commitBatch();
    }
    bool commit() {
        done_ = true;
        return registry_.commitBatch();
    }
    RegistryBatch(const RegistryBatch&) = delete;
    RegistryBatch& operator=(const RegistryBatch&) = delete;

  private:
    Registry& registry_;
    bool done_ = false;
};

// Writes bytes to a file atomically: a temporary file beside it, flushed, then renamed over it.
// The text with ASCII capitals made small: how key, section and value names are matched.
std::string FoldAsciiCase(std::string_view text);

enum class MakeFolder { No, Yes };
// MakeFolder::Yes creates a missing folder first (settings); a document is never saved into a folder that
// is not there.
bool WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes, std::string& error,
                         MakeFolder makeFolder = MakeFolder::Yes);
