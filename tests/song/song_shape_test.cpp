// Shape checks of data/song.txt: the size, lines, patterns and tracks that the demo's song keeps.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string readSong() {
    std::ifstream in(KU_SONG_FILE, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> out;
    std::string cur;
    for (char c : s) {
        if (c == sep) {
            out.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    out.push_back(cur);
    return out;
}

std::string withoutBlanks(std::string s) {
    s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
    return s;
}

// The song as its lines (without their line feeds) and, blanks removed, as heads and fields.
struct Song {
    std::string text;
    std::vector<std::string> lines;
    std::map<int, std::vector<std::string>> patterns;  // number -> rows
    std::map<int, std::vector<std::string>> tracks;    // number -> entries
    std::map<int, std::string> trackLines;             // number -> line as written
};

const Song& song() {
    static const Song s = [] {
        Song s;
        s.text = readSong();
        s.lines = split(s.text, '\n');
        if (!s.lines.empty() && s.lines.back().empty()) s.lines.pop_back();
        for (const std::string& raw : s.lines) {
            const std::string line = withoutBlanks(raw);
            const size_t colon = line.find(':');
            if (colon == std::string::npos || colon < 2) continue;
            const char kind = line[0];
            const int n = std::atoi(line.c_str() + 1);
            const std::vector<std::string> fields = split(line.substr(colon + 1), ',');
            if (kind == 'p') s.patterns[n] = fields;
            if (kind == 't') {
                s.tracks[n] = fields;
                s.trackLines[n] = raw;
            }
        }
        return s;
    }();
    return s;
}

bool isNote(const std::string& f) {
    return f.size() == 2 && std::string("cdefgabCDFGA").find(f[0]) != std::string::npos && f[1] >= '1' &&
           f[1] <= '6';
}

int patternRows(int p) { return static_cast<int>(song().patterns.at(p).size()); }

}  // namespace

TEST(SongShape, SizeLinesAndCharacters) {
    const Song& s = song();
    ASSERT_FALSE(s.text.empty()) << "cannot read " << KU_SONG_FILE;
    EXPECT_EQ(s.text.size(), 4468u) << "the song must hold 4468 characters (a NUL is added on embedding)";
    EXPECT_EQ(s.text.back(), '\n') << "the last line must end with a line feed";
    EXPECT_EQ(s.lines.size(), 44u);
    EXPECT_EQ(s.text.find('\r'), std::string::npos) << "carriage return";
    EXPECT_EQ(s.text.find('\t'), std::string::npos) << "tab";
    EXPECT_EQ(s.text.find('\0'), std::string::npos) << "NUL inside the text";
    for (size_t i = 0; i < s.lines.size(); ++i) {
        EXPECT_FALSE(s.lines[i].empty()) << "line " << i + 1 << " is empty";
        EXPECT_NE(withoutBlanks(s.lines[i]).rfind('#', 0), 0u) << "line " << i + 1 << " is a comment";
    }
}

TEST(SongShape, BlanksOnlyWhereAllowed) {
    const Song& s = song();
    int beforeComma = 0;
    for (size_t i = 0; i < s.lines.size(); ++i) {
        const std::string& line = s.lines[i];
        const bool trackLine = !line.empty() && line[0] == 't';
        for (size_t at = line.find(' '); at != std::string::npos; at = line.find(' ', at)) {
            size_t end = line.find_first_not_of(' ', at);
            if (end == std::string::npos) end = line.size();
            const size_t run = end - at;
            const char before = at > 0 ? line[at - 1] : '\0';
            const char after = end < line.size() ? line[end] : '\0';
            if (!trackLine) {
                EXPECT_TRUE(line.rfind("p19:", 0) == 0 && run == 1 && line.compare(end, 2, "00") == 0)
                    << "line " << i + 1 << ": a blank outside the track lines, at column " << at + 1;
            } else {
                EXPECT_LE(run, 12u) << "line " << i + 1 << ": a run of " << run << " blanks";
                EXPECT_NE(after, '\0') << "line " << i + 1 << ": blanks at the end";
                if (after == ',' && before != ',' && before != ':') {
                    ++beforeComma;
                } else {
                    EXPECT_TRUE(before == ',' || before == ':')
                        << "line " << i + 1 << ": blank inside an entry, at column " << at + 1;
                }
            }
            at = end;
        }
    }
    EXPECT_EQ(beforeComma, 1) << "blanks before a comma stand once in the track lines";
    int inP19 = 0;
    for (const std::string& line : s.lines)
        if (line.rfind("p19:", 0) == 0) inP19 = static_cast<int>(std::count(line.begin(), line.end(), ' '));
    EXPECT_EQ(inP19, 1) << "pattern 19 writes one empty row as \" 00\"";
}

TEST(SongShape, TempoInstrumentsAndLineOrder) {
    const std::vector<std::string> head = {
        "bpm:125",
        "i1:sini,2,16,1,4000,0,-60",
        "i2:saha,2,6,1,2000,0,0",
        "i3:kohina,2,10,1,5100,0,25",
        "i4:saha,2,5,1,4000,0,0",
        "i5:saha,2,4,1,4000,0,2",
        "i6:saha,2,4,1,16000,0,0",
        "i7:saha,2,5,1,23000,2,0",
        "i8:kantti,2,4,1,3000,500000,-5",
        "i9:sini,2,7,1,44100,2,0",
        "i10:kohina,2,5,1,8100,0,-1",
    };
    const Song& s = song();
    ASSERT_EQ(s.lines.size(), 44u);
    for (size_t i = 0; i < head.size(); ++i) EXPECT_EQ(s.lines[i], head[i]) << "line " << i + 1;
    for (int p = 1; p <= 23; ++p)
        EXPECT_EQ(s.lines[10 + p].rfind("p" + std::to_string(p) + ":", 0), 0u) << "line " << 11 + p;
    for (int t = 1; t <= 10; ++t)
        EXPECT_EQ(s.lines[33 + t].rfind("t" + std::to_string(t) + ":", 0), 0u) << "line " << 34 + t;
}

TEST(SongShape, PatternRowsAndTokens) {
    const Song& s = song();
    ASSERT_EQ(s.patterns.size(), 23u);
    EXPECT_EQ(s.patterns.at(1), std::vector<std::string>{"0"});
    EXPECT_EQ(s.patterns.at(2), std::vector<std::string>{"echo1"});
    EXPECT_EQ(s.patterns.at(14), std::vector<std::string>(16, "00"));
    const std::set<int> eightRows = {13, 15, 17, 18};
    for (int p = 3; p <= 23; ++p)
        EXPECT_EQ(patternRows(p), eightRows.count(p) ? 8 : 16) << "rows of pattern " << p;

    int empties = 0, zeros = 0, echo = 0;
    std::set<char> octaves;
    for (const auto& [p, rows] : s.patterns) {
        for (const std::string& f : rows) {
            if (f == "00") {
                ++empties;
            } else if (f == "0") {
                ++zeros;
                EXPECT_TRUE(p == 1 || p == 21) << "\"0\" in pattern " << p;
            } else if (f == "echo1") {
                ++echo;
            } else {
                // Anything else that is not a note name would quietly play as an empty row.
                EXPECT_TRUE(isNote(f)) << "pattern " << p << ": \"" << f << "\" is no note name";
                if (isNote(f)) octaves.insert(f[1]);
            }
        }
    }
    EXPECT_EQ(empties, 107) << "empty rows written \"00\"";
    EXPECT_EQ(zeros, 2) << "empty rows written \"0\" (pattern 1 and once in pattern 21)";
    EXPECT_EQ(echo, 1) << "echo1 stands once, as pattern 2";
    EXPECT_EQ(octaves.size(), 6u) << "notes must reach all six octaves";
}

TEST(SongShape, TracksEntriesAndRows) {
    const Song& s = song();
    ASSERT_EQ(s.tracks.size(), 10u);
    const std::map<int, int> rowsBeforeLoop = {{1, 1297}, {2, 1169}, {3, 1185}, {4, 1089}, {5, 1105},
                                               {6, 1089}, {7, 1089}, {8, 1265}, {9, 1281}, {10, 1169}};
    std::set<int> played;
    for (const auto& [t, entries] : s.tracks) {
        const size_t n = entries.size();
        EXPECT_GE(n, 70u) << "entries of track " << t;
        EXPECT_LE(n, 90u) << "entries of track " << t;
        ASSERT_GT(n, 1u);
        EXPECT_EQ(entries.back(), "loop") << "track " << t << " must end in loop";
        EXPECT_EQ(entries.front(), t <= 3 ? "p1" : "p2") << "first entry of track " << t;
        int rows = 0;
        for (size_t i = 0; i + 1 < n; ++i) {
            const std::string& e = entries[i];
            const bool ref = e.size() >= 2 && e[0] == 'p' &&
                             e.find_first_not_of("0123456789", 1) == std::string::npos;
            ASSERT_TRUE(ref) << "track " << t << ", entry " << i + 1 << ": \"" << e << "\"";
            const int p = std::atoi(e.c_str() + 1);
            ASSERT_TRUE(s.patterns.count(p)) << "track " << t << " plays the undefined pattern " << p;
            played.insert(p);
            rows += patternRows(p);
        }
        EXPECT_EQ(rows, rowsBeforeLoop.at(t)) << "rows of track " << t << " before its loop";
    }
    EXPECT_EQ(s.tracks.at(10).size(), 75u);
    EXPECT_EQ(s.trackLines.at(10).rfind("t10:p2,p14,p14,p14,p14,", 0), 0u) << s.trackLines.at(10).substr(0, 30);
    for (int p = 1; p <= 23; ++p)
        EXPECT_EQ(played.count(p), p == 11 || p == 16 ? 0u : 1u) << "pattern " << p << (played.count(p) ? " is" : " is not") << " played";
}
