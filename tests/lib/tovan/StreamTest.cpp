#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "support/TempFolder.h"
#include "tovan/io/Failure.h"
#include "tovan/io/IFStream.h"
#include "tovan/io/OFStream.h"

namespace tovan::io {
namespace {

using tovan::test::le32;
using tovan::test::read_file;
using tovan::test::TempFolder;
using tovan::test::write_file;

const std::string Magic = "tovan::io::Stream";

// The last text spans several buffers and ends exactly at the end of the file.
TEST(Stream, EveryPrimitiveSurvivesARoundTripLittleEndian) {
    TempFolder folder;
    const std::string path = folder.file("primitives.dat");
    const std::string binary("a\0b\xff", 4), long_text(200000, 'q');
    const std::vector<std::string> list = {"one", "", "three"};
    {
        OFStream out(path);
        EXPECT_TRUE(out.write_byte(0xAB) && out.write_bool(true) && out.write_u32(0x01020304));
        EXPECT_TRUE(out.write_i32(-2) && out.write_u64(0x0102030405060708ull));
        EXPECT_TRUE(out.write_i64(std::numeric_limits<std::int64_t>::min()));
        EXPECT_TRUE(out.write_bytes("raw", 3) && out.write_text(binary) && out.write_text(""));
        EXPECT_TRUE(out.write_texts(list) && out.write_text(long_text));
        out.close();
    }
    const std::string bytes = read_file(path);
    EXPECT_EQ(bytes.substr(0, 27), Magic + le32(2) + std::string("\xAB\x01\x04\x03\x02\x01", 6));
    EXPECT_EQ(bytes.substr(31, 8), std::string("\x08\x07\x06\x05\x04\x03\x02\x01", 8));
    EXPECT_EQ(bytes.substr(50, 12), le32(4) + binary + le32(0));

    IFStream in(path);
    std::uint8_t byte = 0;
    bool flag = false;
    std::uint32_t u32 = 0;
    std::int32_t i32 = 0;
    std::uint64_t u64 = 0;
    std::int64_t i64 = 0;
    char raw[3];
    std::string text = "stale", empty = "stale", last;
    std::vector<std::string> texts = {"stale"};
    EXPECT_TRUE(in.read_byte(byte) && in.read_bool(flag) && in.read_u32(u32) && in.read_i32(i32));
    EXPECT_TRUE(in.read_u64(u64) && in.read_i64(i64) && in.read_bytes(raw, 3));
    EXPECT_TRUE(in.read_text(text) && in.read_text(empty) && in.read_texts(texts));
    EXPECT_TRUE(in.read_text(last));
    EXPECT_TRUE(byte == 0xAB && flag && u32 == 0x01020304u && i32 == -2);
    EXPECT_TRUE(u64 == 0x0102030405060708ull && i64 == std::numeric_limits<std::int64_t>::min());
    EXPECT_TRUE(std::string(raw, 3) == "raw" && text == binary && empty.empty() && texts == list);
    EXPECT_TRUE(last == long_text);
    EXPECT_THROW(in.read_byte(byte), Failure);
}

// Files of the versions before the header, and lengths of all ones that old
// writers used for an empty text.
TEST(Stream, OlderFilesAreReadAsTheyWereWritten) {
    TempFolder folder;
    const std::string path = folder.file("legacy.dat");
    // Not the magic at all, the magic's first 4 bytes only, and the magic cut short.
    for (const std::string& start : {std::string("\x05\x00\x00\x00", 4), std::string("tova"),
                                     std::string("tovan::io::Strea")}) {
        write_file(path, start + "rest");
        IFStream in(path);
        std::string all(start.size() + 4, '\0');
        EXPECT_TRUE(in.read_bytes(all.data(), all.size()));
        EXPECT_EQ(all, start + "rest");
    }
    write_file(path, Magic + le32(0x10 | Stream::NotFromFile) + le32(0xFFFFFFFF) + "\x07");
    IFStream in(path);
    std::string text = "stale";
    std::uint8_t next = 0;
    EXPECT_TRUE(in.read_text(text) && in.read_byte(next) && text.empty() && next == 7);
}

std::string failure_of(const std::function<void()>& run) {
    try {
        run();
    } catch (const Failure& failure) {
        return failure.what();
    }
    return "no failure";
}

// A full disk must never look like a successful save: the caller would rename the
// half-written file over the good one.
TEST(Stream, FailuresRaiseTheSystemMessageWithThePath) {
    TempFolder folder;
    const std::string path = folder.file("short.dat"), missing = folder.file("missing.dat");
    write_file(path, "abc");
    const std::string cut = failure_of([&] { IFStream in(path); });
    EXPECT_TRUE(cut.find("unexpected end of file") != cut.npos && cut.find(path) != cut.npos)
        << cut;
    EXPECT_EQ(failure_of([&] { IFStream in(missing); }),
              "No such file or directory ('" + missing + "')");
    for (bool durable : {false, true}) {
        OFStream out("/dev/full");
        out.write_text("catalog");
        EXPECT_EQ(failure_of([&] { durable ? out.close_durably() : out.close(); }),
                  "No space left on device ('/dev/full')");
    }

    OFStream full("/dev/full");
    const std::string big(BasicFileBuf::BufferSize * 2, 'x');
    EXPECT_THROW(full.write_bytes(big.data(), big.size()), Failure);

    // Without the mask a failure is a state, not an exception, and nothing more
    // is transferred.
    IFStream quiet(missing, std::ios_base::in, 0);
    std::uint8_t byte;
    EXPECT_FALSE(quiet.read_byte(byte));
    OFStream out(folder.file("failed.dat"), std::ios_base::out | std::ios_base::trunc, 0);
    out.setstate(Stream::Fail);
    EXPECT_FALSE(out.write_u32(1));
}

TEST(Stream, WritingThenReadingOneFileKeepsPositionsInStep) {
    TempFolder folder;
    const std::string path = folder.file("mixed.dat");
    FileBuf buffer;
    ASSERT_TRUE(buffer.open(path, std::ios_base::in | std::ios_base::out | std::ios_base::trunc));
    buffer.sputn("abcdef", 6);
    EXPECT_EQ(buffer.pubseekpos(1), 1);
    char got[2];
    EXPECT_EQ(buffer.sgetn(got, 2), 2);
    EXPECT_EQ(std::string(got, 2), "bc");
    buffer.sputn("XY", 2);  // overwrites "de" where reading stopped
    EXPECT_TRUE(buffer.close());
    EXPECT_EQ(read_file(path), "abcXYf");
}

}  // namespace
}  // namespace tovan::io
