// The option parser: prefix search, values, measurements, sources, configuration files and
// option lists, applied to a fresh job the way the job loop applies them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "diag/debug_log.h"
#include "job/options.h"
#include "support/test_support.h"

namespace {

// Runs the test inside a fresh folder (the log option writes files there) with the debug log
// undecided, and puts both back afterwards.
class Options : public ::testing::Test {
   protected:
    void SetUp() override {
        SortOptionTable();
        dir = test_dir(std::string("options_") +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
        ASSERT_TRUE(getcwd(old_dir, sizeof old_dir));
        ASSERT_EQ(chdir(dir.c_str()), 0);
        log_state = LOG_UNDECIDED;
        log_file = nullptr;
    }
    void TearDown() override {
        if (log_file) fclose(log_file);
        log_state = LOG_UNDECIDED;
        log_file = nullptr;
        EXPECT_EQ(chdir(old_dir), 0);
    }
    std::string dir;
    char old_dir[4096];
};

// Applies options the way the job loop does: each without its first character, in its own
// modifiable storage.
PrintJob Apply(const std::vector<std::string> &options) {
    PrintJob job;
    InitPrintJob(&job);
    for (const std::string &option : options) {
        std::vector<char> text(option.begin(), option.end());
        text.push_back(0);
        ParseOption(&job, text.data() + (text.size() > 1 ? 1 : 0));
    }
    return job;
}

using Field = std::function<std::string(const PrintJob &)>;
const Field kCopies = [](const PrintJob &j) { return std::to_string(j.copies); };
const Field kWidth = [](const PrintJob &j) { return std::to_string(j.width); };
const Field kLength = [](const PrintJob &j) { return std::to_string(j.length); };
const Field kOrientation = [](const PrintJob &j) { return std::to_string(j.orientation); };
const Field kPitch = [](const PrintJob &j) { return std::to_string(j.pitch); };
const Field kSource = [](const PrintJob &j) { return std::to_string(j.source); };
const Field kScratch = [](const PrintJob &j) { return std::to_string(j.scratch); };
const Field kPrinter = [](const PrintJob &j) { return std::string(j.printer_id); };
const Field kForm = [](const PrintJob &j) { return std::string(j.form_id); };
const Field kFont = [](const PrintJob &j) { return std::string(j.font); };
const Field kConfig = [](const PrintJob &j) { return std::string(j.config_name); };
const Field kFlags = [](const PrintJob &j) {
    // collate ruler oem ansi raw interactive no_windows
    return std::to_string(j.collate) + std::to_string(j.ruler) + std::to_string(j.oem) +
           std::to_string(j.ansi) + std::to_string(j.raw) + std::to_string(j.interactive) +
           std::to_string(j.no_windows);
};

struct Case {
    const char *note;
    std::vector<std::string> options;
    Field field;
    std::string expected;
};

void Check(const std::vector<Case> &cases) {
    for (const Case &c : cases) {
        PrintJob job = Apply(c.options);
        std::string joined;
        for (const std::string &o : c.options) joined += "[" + o + "] ";
        EXPECT_EQ(c.field(job), c.expected) << c.note << ": options " << joined;
    }
}

}  // namespace

TEST_F(Options, SortedTableHasTheProbedPositions) {
    const char *sorted[OPTION_COUNT] = {
        "ansi",        "banner", "collate",     "config",     "copies",       "date",
        "disposition", "font",   "form_ctl",    "form_id",    "form_name",    "format",
        "interactive", "length", "log",         "mode",       "notify",       "oem",
        "orientation", "pitch",  "printer_ctl", "printer_id", "printer_name", "priority",
        "raw",         "ruler",  "source",      "user",       "width"};
    for (int i = 0; i < OPTION_COUNT; i++)
        EXPECT_STREQ(option_table[i].name, sorted[i]) << "position " << i;
}

// Which option a text selects: a complete name whatever follows it, a beginning shared by
// several names by the order of the probes, an abbreviation with a value nothing.
TEST_F(Options, ProbeOrderDecidesWhichOptionATextSelects) {
    struct Row {
        const char *text;
        const char *selected;  // nullptr: no option
        const char *note;
    } rows[] = {
        {"", "log", "empty text equals every name: first probe"},
        {"c", "collate", "collate, config, copies"},
        {"co", "collate", "collate, config, copies"},
        {"d", "disposition", "date, disposition"},
        {"f", "form_name", "font and the form names"},
        {"fo", "form_name", "font and the form names"},
        {"for", "form_name", "form names and format"},
        {"form", "form_name", "form names and format"},
        {"form_", "form_name", "the three form_ names"},
        {"l", "log", "length, log"},
        {"o", "oem", "oem, orientation"},
        {"p", "printer_id", "pitch, printer names, priority"},
        {"pr", "printer_id", "printer names, priority"},
        {"pri", "printer_id", "printer names, priority"},
        {"prin", "printer_id", "three printer names"},
        {"print", "printer_id", "three printer names"},
        {"printe", "printer_id", "three printer names"},
        {"printer", "printer_id", "three printer names"},
        {"printer_", "printer_id", "three printer names"},
        {"r", "ruler", "raw, ruler"},
        {"a", "ansi", "one name only"},
        {"col", "collate", "one name only"},
        {"con", "config", "one name only"},
        {"cop", "copies", "one name only"},
        {"i", "interactive", "one name only"},
        {"le", "length", "one name only"},
        {"pi", "pitch", "one name only"},
        {"s", "source", "one name only"},
        {"w", "width", "one name only"},
        {"copies=3", "copies", "full name and value"},
        {"fontsize=12", "font", "full name, more letters"},
        {"logfile=x", "log", "full name, more letters"},
        {"rawdata", "raw", "full name, more letters"},
        {"co=3", nullptr, "abbreviation with a value"},
        {"w=8.5i", nullptr, "abbreviation with a value"},
        {"printer=x", nullptr, "abbreviation with a value"},
        {"con=x", nullptr, "abbreviation with a value"},
        {"Copies=2", nullptr, "names are case-sensitive"},
        {"zebra", nullptr, "no such name"},
        {"printer_id=a name far longer than twenty characters", "printer_id",
         "key is cut at 20 characters"},
    };
    for (const Row &row : rows) {
        const OptionEntry *found = FindOption(row.text);
        std::string got = found ? found->name : "(none)";
        EXPECT_EQ(got, row.selected ? row.selected : "(none)")
            << "text [" << row.text << "]: " << row.note;
    }
}

TEST_F(Options, ValuesIntegersAndTexts) {
    std::string long_name(150, 'P');
    Check({
        {"copies", {"-copies=2"}, kCopies, "2"},
        {"slash is the same", {"/copies=4"}, kCopies, "4"},
        {"no value reads 0", {"-copies"}, kCopies, "0"},
        {"case-sensitive name", {"-Copies=2"}, kCopies, "1"},
        {"abbreviation with value", {"-co=3"}, kCopies, "1"},
        {"spaces skipped, sign, stops at letter", {"-copies=  -7x"}, kCopies, "-7"},
        {"32-bit wrap", {"-copies=4294967298"}, kCopies, "2"},
        {"pitch in 16 bits", {"-pitch=65546"}, kPitch, "10"},
        {"printer with spaces", {"-printer_id=Laser Printer 4"}, kPrinter, "Laser Printer 4"},
        {"-p alone", {"-p"}, kPrinter, "INVALID ARGUMENT"},
        {"quotes removed after space", {"-printer_id= \"Laser 4\""}, kPrinter, "Laser 4"},
        {"no closing quote cuts last char", {"-font=\"Courier"}, kFont, "Courie"},
        {"lone quote empties", {"-font=\""}, kFont, ""},
        {"inner quotes and trailing spaces stay", {"-font=a\"b  "}, kFont, "a\"b  "},
        {"tab is not skipped", {"-font=\tX"}, kFont, "\tX"},
        {"fontsize selects font", {"-fontsize=12"}, kFont, "12"},
        {"value behind 20 chars", {"-form_id           =A4"}, kForm, "A4"},
        {"long printer cut to 99", {"-printer_id=" + long_name}, kPrinter, long_name.substr(0, 99)},
        {"long form cut to 31", {"-form_id=" + long_name}, kForm, long_name.substr(0, 31)},
        {"long font cut to 31", {"-font=" + long_name}, kFont, long_name.substr(0, 31)},
        {"landscape ignores case", {"-orientation=LANDSCAPE"}, kOrientation, "2"},
        {"portrait", {"-orientation=Portrait"}, kOrientation, "1"},
        {"other word", {"-orientation=sideways"}, kOrientation, "1"},
        {"no value", {"-orientation=landscape", "-orientation"}, kOrientation, "1"},
        {"scratch ignores case", {"-disposition=Scratch"}, kScratch, "1"},
        {"save clears", {"-disposition=Scratch", "-disposition=save"}, kScratch, "0"},
        {"no value clears", {"-disposition=scratch", "-d"}, kScratch, "0"},
        {"ignored options change nothing", {"-banner", "-user=x", "-mode=HOLD"}, kCopies, "1"},
    });
}

TEST_F(Options, FlagsAreOnlyEverSet) {
    Check({
        // collate ruler oem ansi raw interactive no_windows
        {"c and co set collate", {"-c"}, kFlags, "1000000"},
        {"co", {"-co"}, kFlags, "1000000"},
        {"col", {"-col"}, kFlags, "1000000"},
        {"r selects ruler", {"-r"}, kFlags, "0100000"},
        {"all flags", {"-oem", "-ansi", "-rawdata"}, kFlags, "0011100"},
        {"value plays no part", {"-ruler=no"}, kFlags, "0100000"},
        {"interactive", {"-interactive"}, kFlags, "0000010"},
        {"interactive none", {"-interactive=NONE"}, kFlags, "0000001"},
        {"both ways", {"-interactive=none", "-i=x", "-interactive=yes"}, kFlags, "0000011"},
    });
}

TEST_F(Options, Measurements) {
    Check({
        {"inches by default", {"-width=8.5"}, kWidth, "2159"},
        {"i suffix", {"-width=8.5i"}, kWidth, "2159"},
        {"millimetres", {"-width=23m"}, kWidth, "230"},
        {"mm", {"-width=210mm"}, kWidth, "2100"},
        {"M counts anywhere", {"-width=210 MM"}, kWidth, "2100"},
        {"m wins over i", {"-width=8.5mi"}, kWidth, "85"},
        {"truncated toward zero", {"-width=8.27i"}, kWidth, "2100"},
        {"length", {"-length=11"}, kLength, "2794"},
        {"length mm", {"-length=279m"}, kLength, "2790"},
        {"exponent", {"-width=1e1m"}, kWidth, "100"},
        {"negative truncates toward zero", {"-width=-0.01i"}, kWidth, "-2"},
        {"leading point", {"-width=.5i"}, kWidth, "127"},
        {"no value", {"-width"}, kWidth, "0"},
        {"no number", {"-width=abc"}, kWidth, "0"},
        {"hex is no number", {"-width=0x10"}, kWidth, "0"},
        {"inf is no number", {"-width=inf"}, kWidth, "0"},
        {"huge held at the limit", {"-width=1e15"}, kWidth, std::to_string(INT_MAX)},
        {"huge negative held at the limit", {"-width=-1e15"}, kWidth, std::to_string(INT_MIN)},
        {"abbreviation with value", {"-w=8.5i"}, kWidth, "0"},
    });
}

TEST_F(Options, PaperSources) {
    Check({
        {"name ignoring case", {"-source=upper"}, kSource, "1"},
        {"name with space", {"-source=Manual Envelope"}, kSource, "6"},
        {"quoted name", {"-source=\"manual envelope\""}, kSource, "6"},
        {"last row", {"-source=User defined"}, kSource, "256"},
        {"number", {"-source=15"}, kSource, "15"},
        {"neither", {"-source=tray"}, kSource, "0"},
        {"shortened name", {"-source=Manual Env"}, kSource, "0"},
        {"no value", {"-s"}, kSource, "0"},
        {"name replaces earlier", {"-source=2", "-source=Tractor"}, kSource, "8"},
        {"number only while unset", {"-source=Lower", "-source=7"}, kSource, "2"},
    });
}

TEST_F(Options, OptionLists) {
    Check({
        {"quoted element",
         {"-form_ctl=-form_id=\"Letter Small\" -source=Upper"},
         kForm,
         "Letter Small"},
        {"second element", {"-form_ctl=-form_id=\"Letter Small\" -source=Upper"}, kSource, "1"},
        {"printer_ctl takes any option",
         {"-printer_ctl=-form_id=Letter -source=Lower"},
         kForm,
         "Letter"},
        {"spaces around elements", {"-printer_ctl=   -copies=3    -pitch=9  "}, kPitch, "9"},
        {"first char dropped unseen", {"-printer_ctl=xcopies=3"}, kCopies, "3"},
        {"unbalanced quote swallows the rest",
         {"-form_ctl=-font=\"A -copies=3"},
         kFont,
         "A -copies="},
        {"unbalanced quote: no copies", {"-form_ctl=-font=\"A -copies=3"}, kCopies, "1"},
        {"list without value changes nothing", {"-form_ctl"}, kFlags, "0000000"},
        {"missing value text survives a split", {"-form_ctl", "-font"}, kFont, "INVALID ARGUMENT"},
        {"lists nest through quotes",
         {"-printer_ctl=-form_ctl=\"-copies=2 -pitch=7\" -ruler"},
         kPitch,
         "7"},
    });
}

TEST_F(Options, LogOptionOpensItsFile) {
    Apply({"-"});
    EXPECT_EQ(log_state, LOG_ON);
    EXPECT_EQ(access("INVALID ARGUMENT", F_OK), 0) << "- alone opens a log named so";
    fclose(log_file);
    log_file = nullptr;
    Apply({"-logfile=x.log"});
    EXPECT_EQ(access("x.log", F_OK), 0) << "-logfile=x selects log with value x.log";
}

TEST_F(Options, ConfigFilesReadLinesAsOptions) {
    write_file("a.cfg", "-copies=2\r\n/form_id=Letter\r\n\r\n-pitch=4\x1a-ruler\n");
    PrintJob job = Apply({"-config=a.cfg"});
    EXPECT_EQ(job.copies, 2);
    EXPECT_STREQ(job.form_id, "Letter") << "CR before LF is dropped";
    EXPECT_EQ(job.pitch, 4);
    EXPECT_EQ(job.ruler, 0) << "Ctrl-Z ends the file";
    EXPECT_STREQ(job.config_name, "a.cfg");
    EXPECT_EQ(access("INVALID ARGUMENT", F_OK), 0) << "the empty line selects log";
}

TEST_F(Options, ConfigLinesAreReadInPiecesOf127) {
    // 200 characters: the first 127 are one option, the remaining 73 another, each without
    // its first character.
    std::string first = "-copies=7" + std::string(127 - 9, ' ');
    std::string second = "-pitch=9" + std::string(73 - 8, ' ');
    write_file("long.cfg", first + second + "\n");
    PrintJob job = Apply({"-config=long.cfg"});
    EXPECT_EQ(job.copies, 7);
    EXPECT_EQ(job.pitch, 9);
    EXPECT_NE(access("INVALID ARGUMENT", F_OK), 0) << "no empty piece in a 200-char line";

    // Exactly 127: the line feed is a piece of its own, empty once removed: it selects log.
    write_file("exact.cfg", "-copies=5" + std::string(127 - 9, ' ') + "\n-pitch=3\n");
    job = Apply({"-config=exact.cfg"});
    EXPECT_EQ(job.copies, 5);
    EXPECT_EQ(job.pitch, 3);
    EXPECT_EQ(access("INVALID ARGUMENT", F_OK), 0) << "the lone line feed selects log";
}

TEST_F(Options, ConfigFileEdgeCases) {
    write_file("plain.cfg", "copies=2\n");
    EXPECT_EQ(Apply({"-config=plain.cfg"}).copies, 1) << "copies=2 loses its c";
    PrintJob job = Apply({"-config=missing.cfg"});
    EXPECT_STREQ(job.config_name, "missing.cfg") << "name recorded though the open fails";
    EXPECT_STREQ(Apply({"-config"}).config_name, "INVALID ARGUMENT");
    std::string too_long(2000, 'n');
    job = Apply({"-config=plain.cfg", "-config=" + too_long});
    EXPECT_STREQ(job.config_name, "plain.cfg") << "a name that does not fit is refused whole";
}

TEST_F(Options, ConfigFilesNest) {
    write_file("outer.cfg", "-copies=3\n-config=inner.cfg\n-pitch=5\n");
    write_file("inner.cfg", "-copies=4\n-font=Inner\n");
    PrintJob job = Apply({"-config=outer.cfg"});
    EXPECT_EQ(job.copies, 4) << "inner file read where it is named";
    EXPECT_STREQ(job.font, "Inner");
    EXPECT_EQ(job.pitch, 5) << "outer file goes on after the inner one";
    EXPECT_STREQ(job.config_name, "inner.cfg") << "the last config option processed";
}

TEST_F(Options, ConfigFileThatNamesItselfIsNotReadAgain) {
    write_file("self.cfg", "-config=self.cfg\n-config=./self.cfg\n-config=back.cfg\n-pitch=6\n");
    write_file("back.cfg", "-config=self.cfg\n-copies=9\n");
    ASSERT_EQ(symlink("self.cfg", "link.cfg"), 0);
    write_file("via_link.cfg", "-config=link.cfg\n");
    PrintJob job = Apply({"-config=self.cfg"});
    EXPECT_EQ(job.pitch, 6);
    EXPECT_EQ(job.copies, 9) << "a file that names the outer one is read itself";
    job = Apply({"-config=link.cfg"});
    EXPECT_EQ(job.pitch, 6) << "a link to an open file is refused, the run goes on";
}

TEST_F(Options, NestingStopsAtSixteenLevels) {
    // c0 names c1, c1 names c2, ...: sixteen files nest below the command line, c0 to c15;
    // the options of c16 are not applied.
    for (int i = 0; i < 20; i++)
        write_file("c" + std::to_string(i) + ".cfg", "-pitch=" + std::to_string(i) + "\n-config=c" +
                                                         std::to_string(i + 1) + ".cfg\n");
    EXPECT_EQ(Apply({"-config=c0.cfg"}).pitch, 15);
    // Option lists nested without quotes: each element is the whole remaining list.
    std::string list = "-copies=2";
    for (int i = 0; i < 40; i++) list = "-form_ctl=" + list;
    EXPECT_EQ(Apply({list}).copies, 1) << "too deep: ignored, no crash";
}
