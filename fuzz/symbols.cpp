// SPDX-License-Identifier: GPL-3.0-or-later
// The symbol index on any text: read whole, it holds the same records as when the text is built by line
// updates (insertions, deletions, replacements, lines that come and go again) in an order the bytes choose;
// the index that keeps only definitions finds the same ones; expressions are read without a crash.
#include "editor/SymbolIndex.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Lines that change what the lines after them mean, put in and taken out again on the way.
constexpr std::string_view kStrayLines[] = {
    "\tcblock 0x20",
    "\tendc",
    "m macro a, b",
    "\tendm",
    "\tlocal a",
    "a equ b+1",
    "\tradix dec",
    "\tlist r=oct",
    "x:2, y",
    "\tcblock",
    "b set 3",
    "",
    "; a comment",
    "\tconstant c=1, d",
    "\t#include \"x.inc\"",
};

constexpr size_t kMostLines = 256;

// The choices of one run: a generator seeded by the input's bytes.
class Choices {
  public:
    explicit Choices(std::string_view bytes) {
        for (char c : bytes)
            state_ = (state_ ^ uint8_t(c)) * 0x100000001B3ull;
    }
    size_t Below(size_t n) {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return n == 0 ? 0 : size_t(state_ % n);
    }

  private:
    uint64_t state_ = 0xCBF29CE484222325ull;
};

void Check(bool holds) {
    if (!holds)
        std::abort();
}

void CheckSameRecords(const picsym::FileSymbols& built, const picsym::FileSymbols& whole) {
    Check(built.lineCount() == whole.lineCount());
    for (int i = 0; i < whole.lineCount(); ++i) {
        const picsym::LineRecord& a = built.line(i);
        const picsym::LineRecord& b = whole.line(i);
        Check(built.text(i) == whole.text(i));
        Check(a.definitions.size() == b.definitions.size() && a.uses.size() == b.uses.size());
        for (size_t k = 0; k < a.definitions.size(); ++k)
            Check(a.definitions[k].name == b.definitions[k].name &&
                  a.definitions[k].kind == b.definitions[k].kind &&
                  a.definitions[k].column == b.definitions[k].column &&
                  a.definitions[k].text == b.definitions[k].text &&
                  a.definitions[k].radix == b.definitions[k].radix &&
                  a.definitions[k].inMacro == b.definitions[k].inMacro);
        for (size_t k = 0; k < a.uses.size(); ++k)
            Check(a.uses[k].name == b.uses[k].name && a.uses[k].column == b.uses[k].column &&
                  a.uses[k].operand == b.uses[k].operand);
        Check(a.include == b.include && a.before == b.before && a.after == b.after);
    }
    Check(built.definedNames() == whole.definedNames());
    // the table of names, kept in step with the edits, as if made anew
    whole.ForEachDefinition([&built, &whole](int, const picsym::Definition& definition) {
        std::string folded = picsym::Fold(definition.name);
        std::span<const picsym::DefinitionPlace> a = built.Find(folded), b = whole.Find(folded);
        Check(a.size() == b.size());
        for (size_t k = 0; k < a.size(); ++k)
            Check(a[k].line == b[k].line && a[k].index == b[k].index);
    });
}

// A file built line by line towards `target`: each line of it is in place or missing, and stray lines come
// and go between them.
class Builder {
  public:
    Builder(const std::vector<std::string_view>& target, Choices& choices)
        : target_(target), choices_(choices) {
        file_.Find("");  // its table of names made now, to be kept in step with every update
    }

    void Step() {
        switch (choices_.Below(6)) {
            case 0:
            case 1:
                InsertMissing();
                break;
            case 2:
                InsertStray();
                break;
            case 3:
                ReplaceWithStray();
                break;
            case 4:
                RemoveStray();
                break;
            default:
                RemoveTarget();
        }
    }
    bool Done() const {
        for (int line : lines_)
            if (line < 0)
                return false;
        return lines_.size() == target_.size();
    }
    // Every stray line out and every missing line in, one update each.
    void Finish() {
        while (!Done())
            if (!RemoveStray())
                InsertMissing();
    }
    const picsym::FileSymbols& file() const { return file_; }
    // The text as it stands now, whole.
    std::string Text() const {
        std::string text;
        for (int i = 0; i < file_.lineCount(); ++i)
            text.append(file_.text(i)).append("\n");
        return text;
    }

  private:
    void Update(size_t first, size_t removed, std::vector<std::string_view> lines) {
        file_.Update(int(first), int(removed), lines);
    }
    // Puts a missing line of the target in its place, with those that follow it and are missing too.
    void InsertMissing() {
        std::vector<bool> present(target_.size(), false);
        for (int line : lines_)
            if (line >= 0)
                present[size_t(line)] = true;
        std::vector<size_t> missing;
        for (size_t t = 0; t < target_.size(); ++t)
            if (!present[t])
                missing.push_back(t);
        if (missing.empty())
            return;
        size_t first = missing[choices_.Below(missing.size())];
        size_t end = first + 1;
        while (end < target_.size() && !present[end] && end - first < 1 + choices_.Below(4))
            ++end;
        size_t at = 0;
        while (at < lines_.size() && (lines_[at] < 0 || size_t(lines_[at]) < first))
            ++at;
        std::vector<std::string_view> added(target_.begin() + long(first), target_.begin() + long(end));
        Update(at, 0, added);
        for (size_t t = first; t < end; ++t)
            lines_.insert(lines_.begin() + long(at + t - first), int(t));
    }
    std::string_view Stray() {
        size_t pick = choices_.Below(std::size(kStrayLines) + 1);
        if (pick < std::size(kStrayLines))
            return kStrayLines[pick];
        return target_.empty() ? std::string_view() : target_[choices_.Below(target_.size())];
    }
    void InsertStray() {
        size_t at = choices_.Below(lines_.size() + 1);
        size_t count = 1 + choices_.Below(2);
        std::vector<std::string_view> added;
        for (size_t i = 0; i < count; ++i)
            added.push_back(Stray());
        Update(at, 0, added);
        lines_.insert(lines_.begin() + long(at), count, -1);
    }
    void ReplaceWithStray() {
        if (lines_.empty())
            return;
        size_t at = choices_.Below(lines_.size());
        size_t count = 1 + choices_.Below(std::min<size_t>(3, lines_.size() - at));
        std::vector<std::string_view> added;
        for (size_t i = 0; i < count; ++i)
            added.push_back(Stray());
        Update(at, count, added);
        std::fill(lines_.begin() + long(at), lines_.begin() + long(at + count), -1);
    }
    // Takes out a run of stray lines; false when there is none.
    bool RemoveStray() {
        std::vector<size_t> strays;
        for (size_t i = 0; i < lines_.size(); ++i)
            if (lines_[i] < 0)
                strays.push_back(i);
        if (strays.empty())
            return false;
        size_t at = strays[choices_.Below(strays.size())];
        size_t end = at + 1;
        while (end < lines_.size() && lines_[end] < 0 && choices_.Below(2))
            ++end;
        Update(at, end - at, {});
        lines_.erase(lines_.begin() + long(at), lines_.begin() + long(end));
        return true;
    }
    void RemoveTarget() {
        if (lines_.empty())
            return;
        size_t at = choices_.Below(lines_.size());
        Update(at, 1, {});
        lines_.erase(lines_.begin() + long(at));
    }

    const std::vector<std::string_view>& target_;
    Choices& choices_;
    picsym::FileSymbols file_;
    std::vector<int> lines_;  // for each line of the file, the target's line it is, or -1 for a stray one
};

std::optional<int64_t> AnyNameIsOne(std::string_view) {
    return 1;
}

// Expressions of every kind the input holds, read in every radix.
void Evaluate(std::string_view text, const std::vector<std::string_view>& lines) {
    for (int radix : {8, 10, 16}) {
        picsym::Evaluate(text, radix, AnyNameIsOne);
        for (std::string_view line : lines)
            picsym::Evaluate(line, radix, [](std::string_view) { return std::optional<int64_t>(); });
    }
}

// The index over the text with its includes left out (no file of this machine is read), asked for every
// definition's value.
void AskTheIndex(const picsym::FileSymbols& whole) {
    std::string text;
    for (int i = 0; i < whole.lineCount(); ++i)
        text.append(whole.line(i).include.empty() ? whole.text(i) : std::string()).append("\n");
    picsym::SymbolIndex index;
    index.SetText("/korvex-fuzz/none.asm", text);
    int asked = 0;
    index.file("/korvex-fuzz/none.asm")
        ->ForEachDefinition([&index, &asked](int, const picsym::Definition& definition) {
            if (++asked > 64)
                return;
            index.Value(definition);
            index.Value(definition.name);
            index.Complete(definition.name.substr(0, 1), 8);
        });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> target = picsym::SplitTextLines(text);
    if (target.size() > kMostLines)
        target.resize(kMostLines);
    std::string kept;
    for (std::string_view line : target)
        kept.append(line).append("\n");

    picsym::FileSymbols whole;
    whole.SetText(kept);
    Check(whole.lineCount() == int(target.size()));

    Choices choices(text);
    Builder builder(target, choices);
    size_t steps = 2 * target.size() + choices.Below(64);
    for (size_t step = 0; step < steps; ++step) {
        builder.Step();
        // now and then, the text as it stands read whole
        if (choices.Below(32) == 0) {
            picsym::FileSymbols now;
            now.SetText(builder.Text());
            CheckSameRecords(builder.file(), now);
        }
    }
    builder.Finish();
    CheckSameRecords(builder.file(), whole);

    // the index that keeps only definitions, given the text whole, or its first lines and then the rest
    picsym::FileSymbols packed(picsym::Keep::DefinitionsOnly);
    if (choices.Below(2)) {
        packed.SetText(kept);
    } else {
        size_t first = choices.Below(target.size() + 1);
        std::vector<std::string_view> start(target.begin(), target.begin() + long(first));
        packed.Update(0, 0, start);
        std::vector<std::string_view> rest(target.begin() + long(first), target.end());
        packed.Update(int(first), 0, rest);
    }
    Check(packed.lineCount() == whole.lineCount());
    std::vector<std::pair<int, const picsym::Definition*>> definitions;
    whole.ForEachDefinition([&definitions](int line, const picsym::Definition& definition) {
        definitions.emplace_back(line, &definition);
    });
    size_t next = 0;
    packed.ForEachDefinition([&definitions, &next](int line, const picsym::Definition& definition) {
        Check(next < definitions.size() && definitions[next].first == line &&
              definitions[next].second->name == definition.name &&
              definitions[next].second->text == definition.text);
        ++next;
    });
    Check(next == definitions.size());
    if (whole.lineCount() > 0) {
        int line = int(choices.Below(size_t(whole.lineCount())));
        Check(packed.line(line).before == whole.line(line).before &&
              packed.line(line).after == whole.line(line).after &&
              packed.line(line).include == whole.line(line).include);
    }

    Evaluate(text, target);
    AskTheIndex(whole);
    return 0;
}
