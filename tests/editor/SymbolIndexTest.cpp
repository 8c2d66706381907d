// SPDX-License-Identifier: GPL-3.0-or-later
// The symbol index: checked against gpasm's own symbol table on both examples and every PIC16 header gputils
// ships, then a user's program read and edited line by line.
#include "editor/SymbolIndex.h"

#include "HaveTool.h"
#include "TempDir.h"

#include "gpsim/CodFile.h"

#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

const fs::path kExamples = fs::path(KORVEX_SOURCE_DIR) / "examples";
const std::string kHeaderFolder = "/usr/share/gputils/header";

// Runs gpasm in a folder; the .cod it wrote, or none when it refused the program.
std::optional<CodFile> Assemble(const fs::path& folder, const std::string& processor,
                                const std::string& source) {
    QProcess gpasm;
    gpasm.setWorkingDirectory(QString::fromStdString(folder.string()));
    gpasm.start("gpasm", {"-q", "-p", QString::fromStdString(processor), QString::fromStdString(source)});
    if (!gpasm.waitForFinished(30000) || gpasm.exitStatus() != QProcess::NormalExit || gpasm.exitCode() != 0)
        return std::nullopt;
    std::string error;
    return CodFile::Load((folder / fs::path(source).replace_extension(".cod")).string(), error);
}

// The names gpasm defines by itself for a processor (__CODE_START, __16F84A, ...): what it reports for a
// program that defines nothing.
std::set<std::string> GpasmsOwnNames(const std::string& processor) {
    TempDir dir;
    WriteAll(dir / "empty.asm", "        end\n");
    std::set<std::string> names;
    if (std::optional<CodFile> cod = Assemble(dir.path(), processor, "empty.asm"))
        for (const CodSymbol& symbol : cod->symbols)
            names.insert(symbol.name);
    return names;
}

// The names a header gives a value with EQU ("STATUS  EQU  H'0003'").
std::set<std::string> EquNames(const std::string& text) {
    std::set<std::string> names;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line.substr(0, line.find(';')));
        std::string name, directive;
        if (words >> name >> directive && picsym::Fold(directive) == "equ")
            names.insert(name);
    }
    return names;
}

bool HasKind(const std::vector<picsym::Symbol>& symbols, picsym::Kind kind) {
    return std::any_of(symbols.begin(), symbols.end(),
                       [kind](const picsym::Symbol& symbol) { return symbol.kind == kind; });
}

// What the index says of one name gpasm reports, when it says otherwise: "" when the two agree.
std::string Disagreement(const picsym::SymbolIndex& index, const CodSymbol& symbol) {
    std::vector<picsym::Symbol> found = index.Definitions(symbol.name);
    if (found.empty())
        return symbol.name + " is not found\n";
    if (!symbol.constant)
        return HasKind(found, picsym::Kind::Label) ? "" : symbol.name + " is no label\n";
    std::optional<int64_t> value = index.Value(symbol.name);
    if (value && uint32_t(*value) == symbol.value)
        return "";
    std::ostringstream out;
    out << symbol.name << " is " << (value ? std::to_string(*value) : "unknown") << ", gpasm says "
        << symbol.value << "\n";
    return out.str();
}

class ExampleAgainstGpasm
    : public ::testing::TestWithParam<std::tuple<const char*, const char*, const char*>> {};

// The user builds an example; every name gpasm's symbol table holds is in the index, a constant or CBLOCK
// name with gpasm's value.
TEST_P(ExampleAgainstGpasm, EveryNameGpasmReportsIsFoundWithItsValue) {
    if (!HaveTool("gpasm"))
        GTEST_SKIP() << "gpasm is not installed (scripts/bootstrap installs it)";
    auto [example, source, processor] = GetParam();
    TempDir dir;
    fs::copy(kExamples / example, dir.path(), fs::copy_options::recursive);
    std::optional<CodFile> cod = Assemble(dir.path(), processor, source);
    ASSERT_TRUE(cod) << "gpasm refused " << source;

    picsym::SymbolIndex index;
    index.SetIncludeFolders({kHeaderFolder});
    ASSERT_TRUE(index.AddFile((dir / source).string()));
    EXPECT_FALSE(index.HasMissingInclude((dir / source).string()));

    std::set<std::string> own = GpasmsOwnNames(processor);
    std::string disagreements;
    int constants = 0, labels = 0;
    for (const CodSymbol& symbol : cod->symbols) {
        if (own.count(symbol.name))
            continue;
        disagreements += Disagreement(index, symbol);
        ++(symbol.constant ? constants : labels);
    }
    EXPECT_EQ(disagreements, "");
    EXPECT_GT(constants, 50);  // the header's names with the program's own
    EXPECT_GE(labels, 2);
}

INSTANTIATE_TEST_SUITE_P(Examples, ExampleAgainstGpasm,
                         ::testing::Values(std::make_tuple("blink", "blink.asm", "16f84a"),
                                           std::make_tuple("counter", "counter.asm", "16f877a")),
                         [](const auto& info) { return std::string(std::get<0>(info.param)); });

// The CBLOCK names of the examples, by address, as gpasm gives them.
TEST(ExampleAgainstGpasmByName, TheCountersLieWhereGpasmPutsThem) {
    picsym::SymbolIndex index;
    index.SetIncludeFolders({kHeaderFolder});
    ASSERT_TRUE(index.AddFile((kExamples / "counter" / "counter.asm").string()));
    EXPECT_EQ(index.Value("Count"), 0x20);
    EXPECT_EQ(index.Value("DelayInner"), 0x70);  // in delay.inc, which counter.asm includes
    EXPECT_EQ(index.Value("DelayOuter"), 0x71);
    EXPECT_EQ(index.Value("PORTB"), 0x06);  // from p16f877a.inc
    EXPECT_FALSE(index.Value("Delay"));     // a label: its address is the assembler's to know
}

// Every PIC16 header gputils ships, included by a program of three lines: each name it gives a value with EQU
// is found with the value gpasm's symbol table has.
TEST(HeadersAgainstGpasm, EveryPic16HeaderGivesEachNameGpasmsValue) {
    if (!HaveTool("gpasm"))
        GTEST_SKIP() << "gpasm is not installed (scripts/bootstrap installs it)";
    std::vector<fs::path> headers;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(kHeaderFolder, error))
        if (entry.path().filename().string().starts_with("p16") && entry.path().extension() == ".inc")
            headers.push_back(entry.path());
    std::sort(headers.begin(), headers.end());
    ASSERT_GT(headers.size(), 250u) << "gputils' headers are missing from " << kHeaderFolder;

    TempDir dir;
    int checked = 0, names = 0;
    std::vector<std::string> skipped;
    std::string disagreements;
    for (const fs::path& header : headers) {
        std::string processor = header.stem().string().substr(1);  // "p16f84a" -> "16f84a"
        WriteAll(dir / "processor.asm",
                 "        list    p=" + processor + "\n        #include <p" + processor + ".inc>\n        end\n");
        fs::remove(dir / "processor.cod", error);
        std::optional<CodFile> cod = Assemble(dir.path(), processor, "processor.asm");
        if (!cod) {
            skipped.push_back(processor);  // a header for a family, not one processor gpasm knows
            continue;
        }
        picsym::SymbolIndex index;
        index.SetIncludeFolders({kHeaderFolder});
        index.SetText((dir / "processor.asm").string(), ReadAll(dir / "processor.asm"));
        std::set<std::string> equ = EquNames(ReadAll(header));
        for (const CodSymbol& symbol : cod->symbols)
            if (symbol.constant && equ.count(symbol.name)) {
                std::string disagreement = Disagreement(index, symbol);
                disagreements += disagreement.empty() ? "" : processor + ": " + disagreement;
                ++names;
            }
        ++checked;
    }
    std::ostringstream skippedList;
    for (const std::string& processor : skipped)
        skippedList << " " << processor;
    std::cout << "headers checked: " << checked << ", skipped: " << skipped.size() << skippedList.str()
              << ", names compared: " << names << "\n";
    RecordProperty("headersChecked", checked);
    RecordProperty("headersSkipped", int(skipped.size()));
    EXPECT_EQ(disagreements, "");
    EXPECT_LE(skipped.size(), 2u) << "gpasm refused:" << skippedList.str();
    EXPECT_GT(names, 100000);
}

// ---- A program read and edited by the user ---------------------------------------------------------------

// An index of one program held in the editor at "/project/main.asm".
class Program : public ::testing::Test {
  protected:
    const std::string path = "/project/main.asm";
    picsym::SymbolIndex index;

    void Type(const std::string& text) { index.SetText(path, text); }
    // The user replaces one line of the program.
    int ReplaceLine(int line, std::string_view text) {
        std::vector<std::string_view> lines{text};
        return index.Update(path, line, 1, lines);
    }
    const picsym::FileSymbols& file() const { return *index.file(path); }
};

TEST_F(Program, ACblockStartsWhereItsExpressionSays) {
    Type(
        "RAM     EQU     0x20\n"
        "        cblock  RAM + .16          ; sixteen bytes past the start of RAM\n"
        "        First\n"
        "        Second\n"
        "        endc\n");
    EXPECT_EQ(index.Value("First"), 0x30);
    EXPECT_EQ(index.Value("Second"), 0x31);
    EXPECT_EQ(index.Definitions("Second").front().kind, picsym::Kind::Block);
}

TEST_F(Program, ACblockNameTakesTheRoomItAsksForAndTheNextBlockGoesOn) {
    Type(
        "        cblock  0x20\n"
        "        Buffer:4, Index      ; four bytes, then one\n"
        "        Pair:2\n"
        "        endc\n"
        "        cblock               ; no start: on after Pair\n"
        "        Later\n"
        "        endc\n");
    EXPECT_EQ(index.Value("Buffer"), 0x20);
    EXPECT_EQ(index.Value("Index"), 0x24);
    EXPECT_EQ(index.Value("Pair"), 0x25);
    EXPECT_EQ(index.Value("Later"), 0x27);
}

// The values below are the ones gpasm gives the same lines.
TEST_F(Program, NumbersAreReadInEveryRadixNotation) {
    Type(
        "A1      EQU     0x1F            ; C's hexadecimal\n"
        "A2      EQU     H'1F'           ; quoted hexadecimal\n"
        "A3      EQU     1Fh             ; hexadecimal by its last letter\n"
        "A4      EQU     .31             ; decimal by its point\n"
        "A5      EQU     D'31'\n"
        "A6      EQU     B'11111'\n"
        "A7      EQU     O'37'\n"
        "A8      EQU     37q\n"
        "A9      EQU     'A'             ; a character\n"
        "A10     EQU     '\\n'            ; an escaped one\n"
        "A11     EQU     10              ; the default radix: hexadecimal\n"
        "A12     EQU     0b101           ; no binary prefix in gpasm: hexadecimal digits\n"
        "A13     EQU     high 0x1234 + low(0x1234)\n"
        "        radix   dec\n"
        "B1      EQU     10\n"
        "B2      EQU     101b            ; binary by its last letter, outside radix 16\n"
        "B3      EQU     12d\n"
        "B4      EQU     0b11            ; gpasm refuses it\n"
        "        list    r=oct\n"
        "C1      EQU     17\n");
    EXPECT_EQ(index.Value("A1"), 31);
    EXPECT_EQ(index.Value("A2"), 31);
    EXPECT_EQ(index.Value("A3"), 31);
    EXPECT_EQ(index.Value("A4"), 31);
    EXPECT_EQ(index.Value("A5"), 31);
    EXPECT_EQ(index.Value("A6"), 31);
    EXPECT_EQ(index.Value("A7"), 31);
    EXPECT_EQ(index.Value("A8"), 31);
    EXPECT_EQ(index.Value("A9"), 0x41);
    EXPECT_EQ(index.Value("A10"), 0x0A);
    EXPECT_EQ(index.Value("A11"), 0x10);
    EXPECT_EQ(index.Value("A12"), 0xB101);
    EXPECT_EQ(index.Value("A13"), 0x12 + 0x34);
    EXPECT_EQ(index.Value("B1"), 10);
    EXPECT_EQ(index.Value("B2"), 5);
    EXPECT_EQ(index.Value("B3"), 12);
    EXPECT_EQ(index.Value("B4"), std::nullopt);
    EXPECT_EQ(index.Value("C1"), 15);
}

TEST_F(Program, AMacrosParametersAndLocalNamesAreItsOwn) {
    Type(
        "Wait    macro   count           ; waits count times round a loop\n"
        "        local   again\n"
        "        movlw   count\n"
        "again   addlw   -1\n"
        "        btfss   STATUS, Z\n"
        "        goto    again\n"
        "        endm\n"
        "Start   Wait    10\n");
    std::vector<picsym::Symbol> wait = index.Definitions("Wait");
    ASSERT_EQ(wait.size(), 1u);
    EXPECT_EQ(wait[0].kind, picsym::Kind::Macro);
    EXPECT_EQ(wait[0].text, "count");
    // the parameter and the LOCAL label are the macro's, made anew at each expansion: no name of the program
    EXPECT_FALSE(index.Knows("count"));
    EXPECT_FALSE(index.Knows("again"));
    EXPECT_TRUE(index.Complete("ag", 10).empty());
    for (const picsym::Symbol& symbol : index.Definitions("again"))
        EXPECT_EQ(symbol.kind, picsym::Kind::Local) << "line " << symbol.where.line;
    std::vector<std::string> outline;
    for (const picsym::Symbol& symbol : index.Outline(path))
        outline.push_back(symbol.name);
    EXPECT_EQ(outline, (std::vector<std::string>{"Wait", "Start"}));
    // "Start Wait 10" uses the macro
    ASSERT_EQ(file().line(7).uses.size(), 1u);
    EXPECT_EQ(file().line(7).uses[0].name, "Wait");
}

TEST_F(Program, TypingInACblockMovesTheNamesAfterAndReadsNoFurther) {
    Type(
        "        cblock  0x20\n"  // 0
        "        First\n"         // 1
        "        Second\n"        // 2
        "        endc\n"          // 3
        "        cblock\n"        // 4: goes on after Second
        "        Third\n"         // 5
        "        endc\n"          // 6
        "        cblock  0x40\n"  // 7: a start of its own
        "        Fourth\n"        // 8
        "        endc\n"          // 9
        "Start   nop\n");         // 10
    EXPECT_EQ(index.Value("Third"), 0x22);

    // First becomes three bytes long: lines 1 to 7 are read again, from 8 on nothing changed
    EXPECT_EQ(ReplaceLine(1, "        First:3"), 7);
    EXPECT_EQ(index.Value("First"), 0x20);
    EXPECT_EQ(index.Value("Second"), 0x23);
    EXPECT_EQ(index.Value("Third"), 0x24);
    EXPECT_EQ(index.Value("Fourth"), 0x40);

    // the same as reading the edited text whole
    picsym::FileSymbols whole;
    whole.SetText(
        "        cblock  0x20\n        First:3\n        Second\n        endc\n        cblock\n        Third\n"
        "        endc\n        cblock  0x40\n        Fourth\n        endc\nStart   nop\n");
    ASSERT_EQ(whole.lineCount(), file().lineCount());
    for (int line = 0; line < whole.lineCount(); ++line) {
        EXPECT_EQ(whole.line(line).after, file().line(line).after) << "line " << line;
        EXPECT_EQ(whole.line(line).definitions.size(), file().line(line).definitions.size())
            << "line " << line;
    }
}

TEST_F(Program, ADefinitionIsFoundWhereItIsAsLinesComeAndGoAboveIt) {
    Type("Start   nop\n"
         "Loop    goto    Loop\n");
    EXPECT_EQ(index.Definitions("Loop").front().where.line, 1);

    std::vector<std::string_view> typed{"; two lines", "; typed above"};
    index.Update(path, 0, 0, typed);
    EXPECT_EQ(index.Definitions("Loop").front().where.line, 3);

    index.Update(path, 0, 3, {});  // the comments and Start deleted
    EXPECT_EQ(index.Definitions("Loop").front().where.line, 0);
    EXPECT_TRUE(index.Definitions("Start").empty());

    ReplaceLine(0, "Again   goto    Again");
    EXPECT_TRUE(index.Definitions("Loop").empty());
    EXPECT_EQ(index.Definitions("Again").front().where.line, 0);
}

TEST_F(Program, AnIncludeThatCannotBeFoundIsSaidUntilTheLineIsMended) {
    TempDir dir;
    WriteAll(dir / "present.inc", "Shared  EQU     5\n");
    std::string main = (dir / "main.asm").string();
    index.SetText(main,
                  "; the program\n"
                  "        #include \"absent.inc\"\n"
                  "Start   nop\n");
    EXPECT_TRUE(index.HasMissingInclude(main));

    // an edit elsewhere leaves the include as missing as it was
    std::vector<std::string_view> comment{"; the program, changed"};
    index.Update(main, 0, 1, comment);
    EXPECT_TRUE(index.HasMissingInclude(main));

    std::vector<std::string_view> mended{"        #include \"present.inc\""};
    index.Update(main, 1, 1, mended);
    EXPECT_FALSE(index.HasMissingInclude(main));
    EXPECT_EQ(index.Value("Shared"), 5);
}

TEST_F(Program, ReferencesListTheDefinitionAndEveryUseInOrder) {
    TempDir dir;
    WriteAll(dir / "sub.inc",
             "Clear   clrf    count           ; Clear in sub.inc\n"
             "        return\n");
    std::string main = (dir / "main.asm").string();
    index.SetText(main,
                  "        cblock  0x20\n"
                  "        Count\n"
                  "        endc\n"
                  "Loop    incf    Count,F\n"
                  "        movf    COUNT,W         ; any letter case\n"
                  "        call    Clear\n"
                  "        #include \"sub.inc\"\n");
    std::string sub = (dir / "sub.inc").string();
    std::vector<picsym::Location> places = index.References("Count");
    std::vector<std::tuple<std::string, int, int>> found;
    for (const picsym::Location& place : places)
        found.emplace_back(place.file, place.line, place.column);
    EXPECT_EQ(found, (std::vector<std::tuple<std::string, int, int>>{
                         {main, 1, 8}, {main, 3, 16}, {main, 4, 16}, {sub, 0, 16}}));
}

TEST_F(Program, CompletionOffersTheNamesStartingWithWhatIsTypedInAnyLetterCase) {
    Type(
        "DELAY   EQU     5\n"
        "        cblock  0x70\n"
        "        DelayInner\n"
        "        delayOuter\n"
        "        endc\n"
        "Decode  nop\n"
        "Count   nop\n");
    std::vector<std::string> names;
    for (const picsym::Symbol& symbol : index.Complete("del", 10))
        names.push_back(symbol.name);
    EXPECT_EQ(names, (std::vector<std::string>{"DELAY", "DelayInner", "delayOuter"}));

    std::vector<picsym::Symbol> two = index.Complete("DE", 2);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].name, "Decode");
    EXPECT_EQ(two[1].name, "DELAY");
    EXPECT_EQ(two[1].value, 5);
    EXPECT_EQ(index.Complete("", 100).size(), 5u);
}

TEST_F(Program, DirectivesAtTheStartOfALineAreNoLabels) {
    TempDir dir;
    WriteAll(dir / "flags.inc", "Flag    EQU     1\n");
    std::string main = (dir / "main.asm").string();
    index.SetText(main,
                  "#include \"flags.inc\"\n"
                  "#ifdef Flag\n"
                  "Value = 3                       ; set as SET sets\n"
                  "#endif\n");
    EXPECT_FALSE(index.Knows("#include"));
    EXPECT_FALSE(index.Knows("#ifdef"));
    EXPECT_FALSE(index.Knows("#endif"));
    EXPECT_EQ(index.Value("Flag"), 1);
    std::vector<picsym::Symbol> value = index.Definitions("Value");
    ASSERT_EQ(value.size(), 1u);
    EXPECT_EQ(value[0].kind, picsym::Kind::Variable);
    EXPECT_EQ(value[0].value, 3);
}

TEST_F(Program, ANameDefinedByItselfHasNoValueAndTakesNoTime) {
    // each name below is used twice by the next: read naively, the last would be read 2^40 times
    std::string text = "N0      EQU     N0 + 1\nM0      EQU     1\n";
    for (int i = 1; i <= 40; ++i)
        text += "M" + std::to_string(i) + "      EQU     M" + std::to_string(i - 1) + " + M" +
                std::to_string(i - 1) + "\n";
    Type(text);
    EXPECT_EQ(index.Value("N0"), std::nullopt);
    EXPECT_EQ(index.Value("M40"), int64_t(1) << 40);
}

// picsymbols keeps only the definitions: it finds the same ones, with the same states, as the editor's index.
TEST(DefinitionsOnly, FindsWhatTheEditorsIndexFinds) {
    std::string text = ReadAll(kExamples / "counter" / "counter.asm") +
                       "Wait macro n\n local l\nl nop\n endm\n" +
                       "\tcblock 0x30\n a:2, b\n endc\nSum = 1 + 2 + 3 ; set\n\tconstant c1 = 4, c2\n";
    picsym::FileSymbols everything, packed(picsym::Keep::DefinitionsOnly);
    everything.SetText(text);
    packed.SetText(text);
    ASSERT_EQ(packed.lineCount(), everything.lineCount());
    std::vector<std::string> all, only;
    everything.ForEachDefinition([&all](int line, const picsym::Definition& definition) {
        all.push_back(std::to_string(line) + " " + definition.name + " " + definition.text);
    });
    packed.ForEachDefinition([&only](int line, const picsym::Definition& definition) {
        only.push_back(std::to_string(line) + " " + definition.name + " " + definition.text);
    });
    EXPECT_EQ(only, all);
    for (int line = 0; line < packed.lineCount(); ++line) {
        EXPECT_EQ(packed.line(line).after, everything.line(line).after) << "line " << line;
        EXPECT_EQ(packed.line(line).include, everything.line(line).include) << "line " << line;
        EXPECT_TRUE(packed.line(line).uses.empty());
    }
    EXPECT_EQ(packed.text(0), "");
}

}  // namespace
