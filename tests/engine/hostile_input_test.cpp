// Inputs a hostile or careless user feeds the engine: huge lines, random
// bytes, impossible counts and shapes, things that are not files. Each must
// fail clearly, in bounded memory, and leave an existing output untouched.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "engine/batch_list.h"
#include "engine/convert.h"
#include "support/errors.h"
#include "support/line_reader.h"
#include "test_util.h"

namespace quorvex {
namespace {

using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

const std::string kHead =
    "Version 300\nCharset \"Neutral\"\nDelimiter \",\"\nCoordSys NonEarth Units \"m\"\n"
    "Columns 2\n  ID Integer\n  NAME Char(10)\nData\n";
const std::string kOld = "old output\r\n";

struct Job {
    TempDir dir;
    TConvertSettings s;
    Job(const std::string& mif, const std::string& mid) {
        s.MifFile = dir / "in.mif";
        s.SimFile = dir / "out.sim";
        WriteBytes(s.MifFile, mif);
        WriteBytes(dir / "in.mid", mid);
        WriteBytes(s.SimFile, kOld);
    }
    // The reason of a failed run; the old output must have survived it.
    std::string Fails() {
        std::string why;
        try {
            TRunReport r;
            EXPECT_FALSE(ConvertFile(s, &r));
            why = r.Error.Text(TLanguage::English);
        } catch (const QuorvexError& e) {
            why = e.what();
        }
        EXPECT_EQ(ReadBytes(s.SimFile), kOld);
        return why;
    }
};

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(HostileInput, LinesLongerThanSixteenMiBFailWithFileAndLine) {
    const std::string huge(TLineReader::kMaxLineBytes + 10, '7');
    {
        Job job(kHead + "Region 1\n 3\n0 0\n" + huge + " 1\n1 1\n", "1,a\n");
        const std::string why = job.Fails();
        EXPECT_TRUE(Has(why, "in.mif:12: line longer than 16 MiB")) << why.substr(0, 300);
    }
    {
        Job job(kHead + "Pline 2\n0 0\n1 1\n", "1," + huge + "\n");
        job.s.AttrIndex = 2;
        const std::string why = job.Fails();
        EXPECT_TRUE(Has(why, "in.mid:1: line longer than 16 MiB")) << why.substr(0, 300);
    }
    // Exactly the limit, with CR LF, is still a line; a byte more is not.
    TLineReader r = TLineReader::FromText(std::string(TLineReader::kMaxLineBytes, 'x') + "\r\ny");
    std::string_view line;
    ASSERT_TRUE(r.ReadLine(line));
    EXPECT_EQ(line.size(), TLineReader::kMaxLineBytes);
    TempDir dir;
    WriteBytes(dir / "limit.txt", std::string(TLineReader::kMaxLineBytes, 'x') + "\r\n" +
                                      std::string(TLineReader::kMaxLineBytes + 1, 'y') + "\r\n");
    TLineReader file(dir / "limit.txt");
    ASSERT_TRUE(file.ReadLine(line));
    EXPECT_EQ(line.size(), TLineReader::kMaxLineBytes);
    EXPECT_THROW(file.ReadLine(line), ConversionError);
}

TEST(HostileInput, BatchListsAreBoundedAndRegularFiles) {
    TempDir dir;
    const std::string list = dir / "list.txt";
    WriteBytes(list, "Quorvex\r\n200\r\n0\r\n" + std::string(TLineReader::kMaxLineBytes + 1, 'a'));
    try {
        LoadBatchList(list);
        ADD_FAILURE() << "a 16 MiB line was loaded";
    } catch (const ConversionError& e) {
        EXPECT_TRUE(Has(e.what(), "list.txt:4: line longer than 16 MiB")) << e.what();
    }
#ifndef _WIN32
    ASSERT_EQ(::mkfifo((dir / "fifo.txt").c_str(), 0600), 0);
    EXPECT_THROW(LoadBatchList(dir / "fifo.txt"), FileError);
    EXPECT_THROW(LoadBatchList("/dev/zero"), FileError);
#endif
}

TEST(HostileInput, RandomBytesAreNoMifFile) {
    std::string noise;
    uint32_t x = 12345;
    for (int i = 0; i < 20000; ++i) {
        x = x * 1103515245u + 12345u;
        noise.push_back(static_cast<char>(x >> 24));
    }
    Job job(noise, noise);
    EXPECT_TRUE(Has(job.Fails(), "not a MIF file (no Columns line)"));

    // Without a MID file the reason is the same, not a missing MID file.
    std::filesystem::remove(job.dir / "in.mid");
    EXPECT_TRUE(Has(job.Fails(), "not a MIF file (no Columns line)"));
}

TEST(HostileInput, ColumnCountPastTheDataLineIsAnError) {
    Job job("Version 300\nColumns 2147483647\n  ID Integer\nData\nRegion 1\n 3\n0 0\n1 0\n1 1\n",
            "1\n");
    EXPECT_TRUE(Has(job.Fails(), "before Data"));
}

TEST(HostileInput, NonFiniteVerticesFail) {
    for (const std::string object :
         {"Ellipse -1.7e308 -1.7e308 1.7e308 1.7e308\n", "Arc -1.7e308 0 1.7e308 1e308\n0 90\n",
          "Rect 0 0 1e309 1\n", "Pline 2\n0 0\n1e309 1\n"}) {
        Job job(kHead + object, "1,a\n");
        const std::string why = job.Fails();
        EXPECT_FALSE(why.empty()) << object;
    }
}

// The largest doubles print at 15 digits as 1.79769313486232E308, beyond
// the range of any reader: refused like infinities, with the line. The
// largest that prints as a number one can read back still converts.
TEST(HostileInput, VerticesThatWouldPrintBeyondTheDoubleRangeFail) {
    for (const std::string value :
         {"1.7976931348623157e308", "-1.7976931348623157e308", "1.79769313486231555e308"}) {
        for (const std::string& object :
             {"Pline 2\n0 0\n" + value + " 1\n", "Line 0 0 1 " + value + "\n",
              "Region 1\n 3\n0 0\n1 " + value + "\n1 1\n"}) {
            Job job(kHead + object, "1,a\n");
            const std::string why = job.Fails();
            EXPECT_TRUE(Has(why, "in.mif:") && Has(why, ": a vertex is too large for a SIMA file"))
                << object << ": " << why;
        }
    }
    Job job(kHead + "Line 0 0 1.7976931348623149e308 -1.7976931348623149e308\n", "1,a\n");
    ASSERT_TRUE(ConvertFile(job.s));
    // Y first: the swap is on by default.
    EXPECT_TRUE(
        Has(ReadBytes(job.s.SimFile), "A01,2,2,-1.79769313486231E308,1.79769313486231E308,"));
}

TEST(HostileInput, QuotedTextIsShortAndShowsControlBytes) {
    std::string bad = "12";
    bad.push_back('\0');
    bad += std::string(1 << 20, 'z');
    Job job(kHead + "Region 1\n 3\n" + bad + " 0\n1 0\n1 1\n", "1,a\n");
    const std::string why = job.Fails();
    EXPECT_TRUE(Has(why, "'12\\x00zzz")) << why;
    EXPECT_LT(why.size(), 300u);
    EXPECT_TRUE(Has(why, "\xE2\x80\xA6"));
    EXPECT_EQ(QuoteInput("a\tb"), "a\\x09b");
}

#ifndef _WIN32
TEST(HostileInput, InputsThatAreNoRegularFilesAreRefused) {
    TempDir dir;
    const std::string fifo = dir / "in.mif";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    WriteBytes(dir / "in.mid", "");
    TConvertSettings s;
    s.MifFile = fifo;
    s.SimFile = dir / "out.sim";
    try {
        ConvertFile(s);
        ADD_FAILURE() << "a FIFO was read";
    } catch (const FileError& e) {
        EXPECT_TRUE(Has(e.what(), "FIFO")) << e.what();
    }
    EXPECT_THROW(TLineReader("/dev/zero"), FileError);
    EXPECT_FALSE(std::filesystem::exists(dir / "out.sim"));
}
#endif

TEST(HostileInput, CollectionPartsShareTheirRowsValue) {
    // Every part carries the row's value; the row is kept once, not per part.
    std::string mif = kHead + "Collection 300\n";
    for (int i = 0; i < 300; ++i)
        mif += "Pline 2\n" + std::to_string(i) + " 0\n1 1\n";
    mif += "Pline 2\n5 5\n6 6\n";
    Job job(mif, "1," + std::string(100000, 'q') + ",x\n2,last\n");
    job.s.AttrIndex = 1;
    ASSERT_TRUE(ConvertFile(job.s));
    const std::string out = ReadBytes(job.s.SimFile);
    int ones = 0, twos = 0;
    for (size_t p = out.find("\nF00,"); p != std::string::npos; p = out.find("\nF00,", p + 1)) {
        // F00,number,value,...
        const size_t value = out.find(',', p + 5) + 1;
        ones += out.compare(value, 2, "1,") == 0;
        twos += out.compare(value, 2, "2,") == 0;
    }
    EXPECT_EQ(ones, 300);
    EXPECT_EQ(twos, 1);
}

}  // namespace
}  // namespace quorvex
