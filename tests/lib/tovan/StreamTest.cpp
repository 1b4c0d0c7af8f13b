#include <gtest/gtest.h>

#include <cstdint>
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

TEST(Stream, EmptyStreamIsTheMagicAndTheOptionsWord) {
    TempFolder folder;
    const std::string path = folder.file("empty.dat");
    {
        OFStream out(path);
        EXPECT_EQ(out.header_length(), 21u);
    }
    EXPECT_EQ(read_file(path), Magic + le32(2));

    IFStream in(path);
    EXPECT_TRUE(in.good());
    EXPECT_EQ(in.header_length(), 21u);
    EXPECT_EQ(in.options() & Stream::Positions, Stream::Positions);
}

TEST(Stream, EveryPrimitiveSurvivesARoundTripLittleEndian) {
    TempFolder folder;
    const std::string path = folder.file("primitives.dat");
    const std::string binary("a\0b\xff", 4);
    const std::vector<std::string> list = {"one", "", "three"};
    {
        OFStream out(path);
        EXPECT_TRUE(out.write_byte(0xAB));
        EXPECT_TRUE(out.write_bool(true));
        EXPECT_TRUE(out.write_u32(0x01020304));
        EXPECT_TRUE(out.write_i32(-2));
        EXPECT_TRUE(out.write_u64(0x0102030405060708ull));
        EXPECT_TRUE(out.write_i64(std::numeric_limits<std::int64_t>::min()));
        EXPECT_TRUE(out.write_bytes("raw", 3));
        EXPECT_TRUE(out.write_text(binary));
        EXPECT_TRUE(out.write_text(""));
        EXPECT_TRUE(out.write_texts(list));
        out.close();
        EXPECT_TRUE(out.good());
    }
    const std::string bytes = read_file(path);
    EXPECT_EQ(bytes.substr(21, 6), std::string("\xAB\x01\x04\x03\x02\x01", 6));
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
    std::string text = "stale", empty = "stale";
    std::vector<std::string> texts = {"stale"};
    EXPECT_TRUE(in.read_byte(byte) && in.read_bool(flag) && in.read_u32(u32) && in.read_i32(i32));
    EXPECT_TRUE(in.read_u64(u64) && in.read_i64(i64) && in.read_bytes(raw, 3));
    EXPECT_TRUE(in.read_text(text) && in.read_text(empty) && in.read_texts(texts));
    EXPECT_EQ(byte, 0xAB);
    EXPECT_TRUE(flag);
    EXPECT_EQ(u32, 0x01020304u);
    EXPECT_EQ(i32, -2);
    EXPECT_EQ(u64, 0x0102030405060708ull);
    EXPECT_EQ(i64, std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(std::string(raw, 3), "raw");
    EXPECT_EQ(text, binary);
    EXPECT_EQ(empty, "");
    EXPECT_EQ(texts, list);
    EXPECT_THROW(in.read_byte(byte), Failure);
    EXPECT_TRUE(in.eof());
}

TEST(Stream, LengthAllOnesReadsAsEmptyTextAndConsumesOnlyTheLength) {
    TempFolder folder;
    const std::string path = folder.file("empty-text.dat");
    write_file(path, Magic + le32(2) + le32(0xFFFFFFFF) + "\x07");
    IFStream in(path);
    std::string text = "stale";
    std::uint8_t next = 0;
    EXPECT_TRUE(in.read_text(text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(in.read_byte(next));
    EXPECT_EQ(next, 7);
}

TEST(Stream, FileWithoutHeaderIsReadFromItsFirstByte) {
    TempFolder folder;
    const std::string path = folder.file("legacy.dat");
    // Not the magic at all, the magic's first 4 bytes only, and the magic cut short.
    for (const std::string& start : {std::string("\x05\x00\x00\x00", 4), std::string("tova"),
                                     std::string("tovan::io::Strea")}) {
        write_file(path, start + "rest");
        IFStream in(path);
        EXPECT_EQ(in.header_length(), 0u);
        EXPECT_EQ(in.options() & Stream::Positions, 0u);
        std::string all(start.size() + 4, '\0');
        EXPECT_TRUE(in.read_bytes(all.data(), all.size()));
        EXPECT_EQ(all, start + "rest");
    }
}

TEST(Stream, HeaderOptionsAreTakenFromTheFile) {
    TempFolder folder;
    const std::string path = folder.file("options.dat");
    write_file(path, Magic + le32(0x10 | Stream::NotFromFile));
    IFStream in(path);
    EXPECT_EQ(in.options(), 0x10u);
}

TEST(Stream, FileShorterThanFourBytesFailsAtOpenAsReadPastTheEnd) {
    TempFolder folder;
    const std::string path = folder.file("short.dat");
    write_file(path, "abc");
    try {
        IFStream in(path);
        FAIL() << "opened a 3-byte file";
    } catch (const Failure& failure) {
        EXPECT_NE(std::string(failure.what()).find("unexpected end of file"), std::string::npos);
        EXPECT_NE(std::string(failure.what()).find(path), std::string::npos);
    }
}

TEST(Stream, MissingFileRaisesTheSystemMessageWithThePath) {
    TempFolder folder;
    const std::string path = folder.file("missing.dat");
    try {
        IFStream in(path);
        FAIL() << "opened a missing file";
    } catch (const Failure& failure) {
        EXPECT_EQ(std::string(failure.what()), "No such file or directory ('" + path + "')");
    }
    // Without the mask the failure is a state, not an exception.
    IFStream quiet(path, std::ios_base::in, 0);
    EXPECT_TRUE(quiet.fail());
    EXPECT_FALSE(quiet.is_open());
    std::uint8_t byte;
    EXPECT_FALSE(quiet.read_byte(byte));
}

TEST(Stream, FailedStreamTransfersNothingMore) {
    TempFolder folder;
    const std::string path = folder.file("failed.dat");
    OFStream out(path, std::ios_base::out | std::ios_base::trunc, 0);
    out.setstate(Stream::Fail);
    EXPECT_FALSE(out.write_u32(1));
    out.clear(Stream::Library);
    EXPECT_TRUE(out.good());  // the library's own bit does not count
    EXPECT_TRUE(out.write_u32(1));
    out.close();
    EXPECT_EQ(read_file(path).size(), 25u);
}

TEST(Stream, ReopeningClosesTheFirstFileAndClearsTheState) {
    TempFolder folder;
    OFStream out(folder.file("first.dat"));
    out.write_u32(7);
    out.setstate(Stream::Eof);
    out.open(folder.file("second.dat"));
    EXPECT_TRUE(out.good());
    out.close();
    EXPECT_EQ(read_file(folder.file("first.dat")).size(), 25u);
    EXPECT_EQ(read_file(folder.file("second.dat")).size(), 21u);
}

// A full disk must never look like a successful save: the caller would rename the
// half-written file over the good one.
TEST(Stream, FullDiskRaisesAtCloseAndAtDurableClose) {
    for (bool durable : {false, true}) {
        OFStream out("/dev/full");
        out.write_text("catalog");
        try {
            durable ? out.close_durably() : out.close();
            FAIL() << "a write to a full disk was reported as success";
        } catch (const Failure& failure) {
            EXPECT_EQ(std::string(failure.what()), "No space left on device ('/dev/full')");
        }
    }
}

TEST(Stream, LargeWriteThatDoesNotFitFailsAtOnce) {
    OFStream out("/dev/full");
    const std::string big(BasicFileBuf::BufferSize * 2, 'x');
    EXPECT_THROW(out.write_bytes(big.data(), big.size()), Failure);
}

TEST(Stream, DurableCloseKeepsTheData) {
    TempFolder folder;
    const std::string path = folder.file("durable.dat");
    OFStream out(path);
    out.write_text("kept");
    out.close_durably();
    EXPECT_FALSE(out.is_open());
    IFStream in(path);
    std::string text;
    in.read_text(text);
    EXPECT_EQ(text, "kept");
}

// A damaged length must not make the reader ask for gigabytes.
TEST(Stream, StoredLengthBeyondTheFileFailsBeforeAllocating) {
    TempFolder folder;
    const std::string path = folder.file("damaged.dat");
    write_file(path, Magic + le32(2) + le32(0xFFFFFFFE) + "abc");
    IFStream in(path);
    std::string text;
    EXPECT_THROW(in.read_text(text), Failure);
    EXPECT_TRUE(in.eof());
    EXPECT_EQ(text.capacity() < 1024, true);

    write_file(path, Magic + le32(2) + le32(4000000000u) + le32(1) + "a");
    IFStream list(path);
    std::vector<std::string> texts;
    EXPECT_THROW(list.read_texts(texts), Failure);

    write_file(path, Magic + le32(2) + le32(3) + std::string(3 * 58 - 1, 'r'));
    IFStream records(path);
    std::uint32_t count = 99;
    EXPECT_THROW(records.read_count(count, 58), Failure);
    EXPECT_EQ(count, 0u);
}

TEST(Stream, TextExactlyAsLongAsTheRestIsRead) {
    TempFolder folder;
    const std::string path = folder.file("exact.dat");
    const std::string text(200000, 'q');  // spans several buffers
    write_file(path, Magic + le32(2) + le32(static_cast<std::uint32_t>(text.size())) + text);
    IFStream in(path);
    std::string read;
    EXPECT_TRUE(in.read_text(read));
    EXPECT_EQ(read, text);
    EXPECT_EQ(in.bytes_left(), 0);
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
