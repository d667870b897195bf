// The two parsers that read untrusted bytes, on hostile inputs of 1 MiB,
// against one memchr pass over the same bytes that finds every occurrence of
// the byte the parser splits on (a line end, an opening parenthesis): the
// least any reader of those bytes has to do. StripParenComments aims at 3
// times that pass; the version file is at most 64 KiB, so its reader's time
// against the pass is shown for information only.
//
// Each input is also timed at 256 KiB: a parser that is linear costs four
// times as much at 1 MiB, so "growth" (the 1 MiB time over four times the
// 256 KiB time) stays near 1. Both parsers aim at that.
//
//   parsers_bench [--reps N]
#include "core/ParenComments.h"
#include "core/UpdateRules.h"
#include "core/VersionFile.h"

#include "BenchSupport.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// Keeps a result alive so that the work is not optimised away.
volatile std::size_t g_sink;

// The fastest of reps batches, each long enough (20 ms) for the timer.
double TimeMs(const std::function<std::size_t()>& work, int reps) {
    double best = 1e300;
    for (int r = 0; r < reps; ++r) {
        int calls = 0;
        const double t0 = NowMs();
        double elapsed = 0;
        do {
            g_sink = g_sink + work();
            ++calls;
            elapsed = NowMs() - t0;
        } while (elapsed < 20);
        best = std::min(best, elapsed / calls);
    }
    return best;
}

// One memchr pass: every occurrence of c, counted.
std::size_t CountWithMemchr(const std::string& bytes, char c) {
    std::size_t n = 0;
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        const void* hit = std::memchr(p, c, static_cast<std::size_t>(end - p));
        if (!hit)
            break;
        ++n;
        p = static_cast<const char*>(hit) + 1;
    }
    return n;
}

// pattern repeated to size bytes.
std::string Repeat(const std::string& pattern, std::size_t size) {
    std::string s;
    s.reserve(size + pattern.size());
    while (s.size() < size)
        s += pattern;
    s.resize(size);
    return s;
}

// Distinct names, so that nothing collapses: "[s0]", "[s1]"... or "k0=v"...
std::string Numbered(const char* before, const char* after, std::size_t size) {
    std::string s;
    s.reserve(size + 32);
    for (std::size_t i = 0; s.size() < size; ++i)
        s.append(before).append(std::to_string(i * 2654435761u % 1000003u)).append(after);
    s.resize(size);
    return s;
}

// Lines under a section header: "[v]", which the program never reads, or
// "[info]", whose keys line1 to line8 it does.
std::string Section(const std::string& body, const char* header = "[v]\n") {
    std::string s = header;
    s.append(body);
    return s;
}

struct TInput {
    const char* parser;
    const char* name;
    char split; // the byte the memchr pass looks for
    std::function<std::string(std::size_t)> make;
};

const std::vector<TInput>& Inputs() {
    static const std::vector<TInput> inputs = {
        {"StripParenComments", "'()' repeated", '(', [](std::size_t n) { return Repeat("()", n); }},
        {"StripParenComments", "'(' repeated, never closed", '(',
         [](std::size_t n) { return Repeat("(", n); }},
        {"StripParenComments", "')' repeated", '(', [](std::size_t n) { return Repeat(")", n); }},
        {"StripParenComments", "'a(b)' repeated", '(',
         [](std::size_t n) { return Repeat("a(b)", n); }},
        {"StripParenComments", "'((x))' repeated (doubled)", '(',
         [](std::size_t n) { return Repeat("((x))", n); }},
        {"StripParenComments", "'(((x)))' repeated", '(',
         [](std::size_t n) { return Repeat("(((x)))", n); }},
        {"StripParenComments", "'(' then ')' at the end", '(',
         [](std::size_t n) {
             std::string s(n, 'x');
             s.front() = '(';
             s.back() = ')';
             return s;
         }},
        {"version file", "empty lines (LF)", '\n', [](std::size_t n) { return Repeat("\n", n); }},
        {"version file", "CR only", '\r', [](std::size_t n) { return Repeat("\r", n); }},
        {"version file", "CR LF", '\n', [](std::size_t n) { return Repeat("\r\n", n); }},
        {"version file", "one line, no end", '\n', [](std::size_t n) { return Repeat("x", n); }},
        {"version file", "one line of blanks", '\n', [](std::size_t n) { return Repeat(" ", n); }},
        {"version file", "'[s]' repeated (one name)", '\n',
         [](std::size_t n) { return Repeat("[s]\n", n); }},
        {"version file", "distinct sections", '\n',
         [](std::size_t n) { return Numbered("[s", "]\n", n); }},
        {"version file", "'a=' repeated (one key)", '\n',
         [](std::size_t n) { return Section(Repeat("a=\n", n - 4)); }},
        {"version file", "distinct keys", '\n',
         [](std::size_t n) { return Section(Numbered("k", "=v\n", n - 4)); }},
        {"version file", "'=' repeated, one line", '\n',
         [](std::size_t n) { return Section(Repeat("=", n - 4)); }},
        {"version file", "[info] 'line1=x' repeated", '\n',
         [](std::size_t n) { return Section(Repeat("line1=x\n", n - 7), "[info]\n"); }},
        {"version file", "[info] 'LINE8 = ' repeated", '\n',
         [](std::size_t n) { return Section(Repeat("LINE8 = \n", n - 7), "[info]\n"); }},
        {"version file", "[info] distinct keys", '\n',
         [](std::size_t n) { return Section(Numbered("k", "=v\n", n - 7), "[info]\n"); }},
        {"version file", "'[info]' repeated", '\n',
         [](std::size_t n) { return Repeat("[info]\n", n); }},
    };
    return inputs;
}

// The parser and what the program then reads from its result: the version
// code, the new version's label and the release notes.
std::size_t RunParser(const TInput& in, const std::string& bytes) {
    if (in.split == '(')
        return StripParenComments(bytes).size();
    const TVersionFile f = TVersionFile::Parse(bytes, UpdateFileKeys());
    std::size_t n = static_cast<std::size_t>(PublishedVersionCode(f)) + NewVersionLabel(f).size();
    for (const std::string& line : ReleaseNotesLines(f, "", ""))
        n += line.size();
    return n;
}

} // namespace

int main(int argc, char** argv) {
    int reps = 5;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--reps" && i + 1 < argc)
            reps = std::max(1, std::atoi(argv[++i]));
        else {
            std::fprintf(stderr, "usage: parsers_bench [--reps N]\n");
            return 2;
        }
    }
    const std::size_t big = 1 << 20, small = big / 4;
    std::printf("Parsers on 1 MiB hostile inputs against one memchr pass over the same bytes "
                "(fastest of %d batches)\n\n",
                reps);
    std::printf("%-20s %-30s %10s %10s %8s %8s\n", "parser", "input", "parser ms", "memchr ms",
                "ratio", "growth");
    double worstRatio[2] = {0, 0}, worstGrowth[2] = {0, 0};
    for (const TInput& in : Inputs()) {
        const std::string bytes = in.make(big), quarter = in.make(small);
        const double parser = TimeMs([&] { return RunParser(in, bytes); }, reps);
        const double parserQuarter = TimeMs([&] { return RunParser(in, quarter); }, reps);
        const double scan = TimeMs([&] { return CountWithMemchr(bytes, in.split); }, reps);
        const double ratio = parser / scan, growth = parser / (4 * parserQuarter);
        const int k = in.split == '(' ? 0 : 1;
        worstRatio[k] = std::max(worstRatio[k], ratio);
        worstGrowth[k] = std::max(worstGrowth[k], growth);
        std::printf("%-20s %-30s %10.3f %10.3f %8.2f %8.2f\n", in.parser, in.name, parser, scan,
                    ratio, growth);
        std::fflush(stdout);
    }
    // Rows for the summary table of tools/bench.sh: what, figure, aim, verdict.
    const char* names[2] = {"StripParenComments, 1 MiB", "version-file reader, 1 MiB"};
    for (int k = 0; k < 2; ++k) {
        if (k == 0)
            std::printf("TABLE|%s: worst time / memchr pass|%.2fx|<= 3x|%s\n", names[k],
                        worstRatio[k], worstRatio[k] <= 3 ? "met" : "NOT met");
        else
            std::printf("TABLE|%s: worst time / memchr pass|%.2fx|-|-\n", names[k], worstRatio[k]);
        std::printf("TABLE|%s: worst growth 256 KiB -> 1 MiB|%.2fx linear|linear|%s\n", names[k],
                    worstGrowth[k], worstGrowth[k] <= 1.3 ? "met" : "NOT met");
    }
    return 0;
}
