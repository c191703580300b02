// The command line against odd outputs and hostile inputs, run as a user
// runs it: outputs refused before any work, standard output, unwritable
// folders (as an unprivileged user), kills in the middle of a run, and the
// memory a hostile input may take.
#include <gtest/gtest.h>

// Signals, resource limits and other users are the POSIX side of these
// rules; the Windows side is tested in cli_test.
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "test_util.h"

namespace quorvex {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

struct TRun {
    int status = -1;
    std::string err;    // standard error
    std::string out;    // standard output
    long maxRssKb = 0;  // peak resident memory of the child
};

// Runs the command line with `args`, optionally as another user (setpriv
// arguments before the program), `killAfter` > 0 sends SIGKILL after that time.
TRun Cli(const std::vector<std::string>& args, const std::vector<std::string>& prefix = {},
         std::chrono::microseconds killAfter = {}) {
    TempDir io;
    const std::string outPath = io / "stdout", errPath = io / "stderr";
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::vector<std::string> all = prefix;
        all.push_back(QUORVEX_CLI);
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        std::freopen(outPath.c_str(), "w", stdout);
        std::freopen(errPath.c_str(), "w", stderr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    if (killAfter.count() > 0) {
        std::this_thread::sleep_for(killAfter);
        ::kill(pid, SIGKILL);
    }
    TRun r;
    int st = 0;
    struct rusage ru {};
    ::wait4(pid, &st, 0, &ru);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    r.maxRssKb = ru.ru_maxrss;
    // A child killed early may not have opened them yet.
    if (std::filesystem::exists(outPath)) r.out = ReadBytes(outPath);
    if (std::filesystem::exists(errPath)) r.err = ReadBytes(errPath);
    return r;
}

const std::string kMif =
    "Version 300\r\nCharset \"Neutral\"\r\nDelimiter \",\"\r\nCoordSys NonEarth Units \"m\"\r\n"
    "Columns 1\r\n  ID Integer\r\nData\r\n"
    "Region 1\r\n 4\r\n0 0\r\n10 0\r\n10 10\r\n0 0\r\nLine 0 0 10 0\r\n";

struct Pair {
    TempDir dir;
    std::string mif = dir / "in.mif";
    Pair() {
        WriteBytes(mif, kMif);
        WriteBytes(dir / "in.mid", "1\r\n2\r\n");
    }
};

std::vector<std::string> Entries(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(OutputSafety, NonRegularOutputsAreRefusedWithOneLine) {
    Pair p;
    std::filesystem::create_directory(p.dir / "folder.sim");
    ASSERT_EQ(::mkfifo((p.dir / "fifo.sim").c_str(), 0600), 0);
    std::filesystem::create_symlink(p.dir / "nowhere/x.sim", p.dir / "dangling.sim");
    for (const std::string out : {"folder.sim", "fifo.sim", "dangling.sim", "missing/x.sim"}) {
        const TRun r = Cli({p.mif, p.dir / out});
        EXPECT_EQ(r.status, 1) << out;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
    EXPECT_EQ(Entries(p.dir.path()), (std::vector<std::string>{"dangling.sim", "fifo.sim",
                                                               "folder.sim", "in.mid", "in.mif"}));
}

TEST(OutputSafety, DashWritesStandardOutputOnlyOnSuccess) {
    Pair p;
    const TRun ok = Cli({p.mif, "-"});
    ASSERT_EQ(ok.status, 0) << ok.err;
    ASSERT_EQ(Cli({p.mif, p.dir / "file.sim"}).status, 0);
    EXPECT_EQ(ok.out, ReadBytes(p.dir / "file.sim"));

    WriteBytes(p.mif, kMif + "Region 1\r\n 3\r\n0 0\r\nx y\r\n");
    const TRun bad = Cli({p.mif, "-"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.out, "");

    const TRun merged = Cli({"--combine", "-", p.dir / "file.sim.mif"});
    EXPECT_EQ(merged.out, "");
}

TEST(OutputSafety, BatchRowWithoutDestinationIsNamedFirst) {
    Pair p;
    const std::string list = p.dir / "list.txt";
    WriteBytes(
        list,
        "Quorvex\r\n200\r\n0\r\n\r\n\r\n\"1\"\t\"" + p.mif +
            "\"\t\"\"\t\"\"\t\"\"\t\"\x81\x9B\"\t\"\x81\x9B\"\t\"\x81\x9B\"\t\"\x81\x9B\"\r\n");
    const TRun r = Cli({"--batch", list});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no destination SIMA file"), std::string::npos) << r.err;
}

// A file its user marked read-only (mode 0444) is refused before the
// conversion, by a single conversion, a batch row and a merged run alike,
// although root could write it and the folder allows the rename.
TEST(OutputSafety, ReadOnlyOutputIsRefusedBeforeTheConversion) {
    Pair p;
    const std::string out = p.dir / "locked.sim";
    WriteBytes(out, "old\r\n");
    ASSERT_EQ(::chmod(out.c_str(), 0444), 0);
    const auto refused = [&](const TRun& r, const std::string& stream) {
        EXPECT_EQ(r.status, 1) << r.err;
        EXPECT_NE(stream.find("the file is read-only"), std::string::npos) << stream;
        EXPECT_EQ(ReadBytes(out), "old\r\n");
    };
    const TRun single = Cli({p.mif, out});
    refused(single, single.out + single.err);
    // Refused before the input is read: a broken input is not even seen.
    WriteBytes(p.dir / "bad.mif", kMif + "Region 1\r\n 3\r\n0 0\r\nx y\r\n");
    WriteBytes(p.dir / "bad.mid", "1\r\n2\r\n3\r\n");
    const TRun early = Cli({p.dir / "bad.mif", out});
    refused(early, early.out + early.err);

    // One row into the read-only file, one beside it: only the first fails.
    const std::string list = p.dir / "list.txt";
    const std::string switches = "\t\"\x81\x9B\"\t\"\x81\x9B\"\t\"\x81\x9B\"\t\"\x81\x9B\"\r\n";
    WriteBytes(list, "Quorvex\r\n200\r\n0\r\n\r\n\r\n\"1\"\t\"" + p.mif + "\"\t\"" + out +
                         "\"\t\"\"\t\"\"" + switches + "\"1\"\t\"" + p.mif + "\"\t\"" +
                         (p.dir / "free.sim") + "\"\t\"\"\t\"\"" + switches);
    const TRun batch = Cli({"--batch", list});
    refused(batch, batch.out + batch.err);
    EXPECT_TRUE(std::filesystem::exists(p.dir / "free.sim"));

    WriteBytes(list, "Quorvex\r\n200\r\n1\r\n" + out + "\r\n\r\n\"1\"\t\"" + p.mif +
                         "\"\t\"\"\t\"\"\t\"\"" + switches);
    const TRun mergedList = Cli({"--batch", list});
    refused(mergedList, mergedList.out + mergedList.err);
    const TRun merged = Cli({"--combine", out, p.mif});
    refused(merged, merged.out + merged.err);
    EXPECT_EQ(Entries(p.dir.path()),
              (std::vector<std::string>{"bad.mid", "bad.mif", "free.sim", "in.mid", "in.mif",
                                        "list.txt", "locked.sim"}));
}

// The tests run as root, for whom every folder is writable: the unwritable
// folder is tried as the unprivileged user "nobody".
TEST(OutputSafety, UnwritableFolderIsReportedBeforeTheConversion) {
    if (::geteuid() != 0 || ::access("/usr/bin/setpriv", X_OK) != 0)
        GTEST_SKIP() << "needs root and setpriv to act as an unprivileged user";
    Pair p;
    std::filesystem::permissions(p.dir.path(), std::filesystem::perms::all);
    std::filesystem::create_directory(p.dir / "locked");
    std::filesystem::permissions(p.dir / "locked", std::filesystem::perms(0555));
    WriteBytes(p.dir / "locked/out.sim", "old");
    std::filesystem::permissions(p.dir / "locked/out.sim", std::filesystem::perms(0666));
    const std::vector<std::string> nobody = {"setpriv", "--reuid=nobody", "--regid=nogroup",
                                             "--clear-groups"};
    if (Cli({"--version"}, nobody).status != 0)
        GTEST_SKIP() << "the program cannot be run as nobody here";
    const TRun r = Cli({p.mif, p.dir / "locked/out.sim"}, nobody);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Permission denied"), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(p.dir / "locked/out.sim"), "old");
}

// A regular grid of square parcels, `n` by `n`, with a MID row each.
void WriteGrid(const std::string& mif, const std::string& mid, int n) {
    std::string m = kMif.substr(0, kMif.find("Data\r\n") + 6), d;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const std::string x = std::to_string(i * 10), y = std::to_string(j * 10);
            const std::string x1 = std::to_string(i * 10 + 10), y1 = std::to_string(j * 10 + 10);
            m += "Region 1\r\n 4\r\n" + x + " " + y + "\r\n" + x1 + " " + y + "\r\n" + x1 + " " +
                 y1 + "\r\n" + x + " " + y1 + "\r\n";
            d += std::to_string(i * n + j) + "\r\n";
        }
    }
    WriteBytes(mif, m);
    WriteBytes(mid, d);
}

// Killed at any moment, a run leaves the old or the new output whole under
// its name, and nothing beside it.
TEST(OutputSafety, KilledRunLeavesOldOrNewOutputAndNothingElse) {
    TempDir dir;
    std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
    TempDir tmp;
    WriteGrid(dir / "in.mif", dir / "in.mid", 250);
    const std::string out = dir / "out.sim";
    ASSERT_EQ(Cli({dir / "in.mif", dir / "new.sim"}).status, 0);
    const std::string fresh = ReadBytes(dir / "new.sim");
    std::filesystem::remove(dir / "new.sim");
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Cli({dir / "in.mif", out}).status, 0);
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    const std::vector<std::string> inTmp = {"env", "TMPDIR=" + tmp.path().string()};
    for (int k = 0; k < 8; ++k) {
        WriteBytes(out, "old\r\n");
        Cli({dir / "in.mif", out}, inTmp, took * k / 7 + std::chrono::microseconds(100));
        const std::string now = ReadBytes(out);
        EXPECT_TRUE(now == "old\r\n" || now == fresh) << "kill " << k << ": " << now.size();
        EXPECT_EQ(Entries(dir.path()), (std::vector<std::string>{"in.mid", "in.mif", "out.sim"}));
        EXPECT_TRUE(std::filesystem::is_empty(tmp.path()));
    }
}

TEST(OutputSafety, StandardOutputLeavesNoFileAfterAKillAndAppends) {
    TempDir dir, tmp;
    WriteGrid(dir / "in.mif", dir / "in.mid", 250);
    ASSERT_EQ(Cli({dir / "in.mif", dir / "file.sim"}).status, 0);
    const std::string fresh = ReadBytes(dir / "file.sim");
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Cli({dir / "in.mif", "-"}).status, 0);
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    const std::vector<std::string> inTmp = {"env", "TMPDIR=" + tmp.path().string()};
    for (int k = 0; k < 6; ++k) {
        Cli({dir / "in.mif", "-"}, inTmp, took * k / 5 + std::chrono::microseconds(100));
        EXPECT_TRUE(std::filesystem::is_empty(tmp.path())) << "kill " << k;
    }
    // Standard output opened for appending gets the bytes after what it had.
    const std::string out = dir / "appended.sim";
    WriteBytes(out, "before\n");
    const std::string command =
        std::string(QUORVEX_CLI) + " '" + (dir / "in.mif") + "' - >> '" + out + "' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadBytes(out), "before\n" + fresh);
}

// Memory stays bounded on every hostile input. Sanitizers' shadow memory
// makes such a bound meaningless, so they skip it.
TEST(OutputSafety, HostileInputsStayUnder256MiB) {
    if (test::kSanitized) GTEST_SKIP() << "memory bounds mean nothing under the sanitizers";
    constexpr long kLimitKb = 256 * 1024;
    TempDir dir;
    const std::string head = kMif.substr(0, kMif.find("Data\r\n") + 6);
    // One 40 MB line without end, in the MIF and in the MID file.
    const std::string huge(40 << 20, '1');
    WriteBytes(dir / "line.mif", head + "Region 1\r\n 3\r\n" + huge);
    WriteBytes(dir / "line.mid", huge);
    // A collection of many parts sharing one long MID row.
    std::string parts = head + "Collection 20000\r\n";
    for (int i = 0; i < 20000; ++i)
        parts += "Pline 2\r\n0 0\r\n1 1\r\n";
    WriteBytes(dir / "parts.mif", parts);
    WriteBytes(dir / "parts.mid", "1," + std::string(100000, 'q') + "\r\n");
    const std::vector<std::vector<std::string>> jobs = {
        {dir / "line.mif", dir / "line.sim"},
        {"--attr", "1", dir / "line.mif", dir / "line.sim"},
        {"--attr", "1", dir / "parts.mif", dir / "parts.sim"},
        {"/dev/zero", dir / "zero.sim"},
    };
    for (const auto& job : jobs) {
        const TRun r = Cli(job);
        EXPECT_LT(r.maxRssKb, kLimitKb) << job[job.size() - 2] << ": " << r.err;
    }
}

// Where the system gives no unnamed files (here: no /proc, in a mount
// namespace of the run's own), the named fallback replaces the output whole
// too, keeps its mode, and a failed run leaves neither a change nor a file.
TEST(OutputSafety, NamedFallbackReplacesTheOutputWhole) {
    // The sanitizers' runtime itself needs /proc.
    if (test::kSanitized) GTEST_SKIP() << "the sanitizers cannot run without /proc";
    if (::geteuid() != 0 || std::system("unshare -m true 2>/dev/null") != 0)
        GTEST_SKIP() << "needs root and unshare for a mount namespace";
    const std::vector<std::string> noProc = {
        "unshare", "-m", "sh", "-c", "mount -t tmpfs none /proc && exec \"$@\"", "sh"};
    Pair p;
    ASSERT_EQ(Cli({p.mif, p.dir / "expected.sim"}).status, 0);
    const std::string out = p.dir / "out.sim";
    WriteBytes(out, "old\r\n");
    ASSERT_EQ(::chmod(out.c_str(), 0640), 0);
    const TRun ok = Cli({p.mif, out}, noProc);
    ASSERT_EQ(ok.status, 0) << ok.err;
    EXPECT_EQ(ReadBytes(out), ReadBytes(p.dir / "expected.sim"));
    struct stat st {};
    ASSERT_EQ(::stat(out.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);

    WriteBytes(out, "old\r\n");
    WriteBytes(p.mif, kMif + "Region 1\r\n 3\r\n0 0\r\nx y\r\n");
    EXPECT_EQ(Cli({p.mif, out}, noProc).status, 1);
    EXPECT_EQ(ReadBytes(out), "old\r\n");
    EXPECT_EQ(Entries(p.dir.path()),
              (std::vector<std::string>{"expected.sim", "in.mid", "in.mif", "out.sim"}));
}

}  // namespace
}  // namespace quorvex
#endif
