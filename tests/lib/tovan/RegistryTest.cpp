#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "support/TempFolder.h"
#include "tovan/Exception.h"
#include "tovan/io/Factory.h"
#include "tovan/io/Failure.h"
#include "tovan/io/IFStream.h"
#include "tovan/io/InvalidFactoryIdError.h"
#include "tovan/io/InvalidFactoryNameLengthError.h"
#include "tovan/io/OFStream.h"
#include "tovan/io/Registry1.h"

namespace tovan::io {
namespace {

using tovan::test::le32;
using tovan::test::read_file;
using tovan::test::TempFolder;
using tovan::test::write_file;

// Files without a header get a registry, so the tests write headerless files.
class RegistryTest : public ::testing::Test {
protected:
    std::string write(const std::string& bytes) {
        const std::string path = folder.file("registry.dat");
        write_file(path, bytes);
        return path;
    }
    std::string written(void (*fill)(OStream&, Registry1&)) {
        const std::string path = folder.file("written.dat");
        {
            OFStream out(path, std::ios_base::out | std::ios_base::trunc, Stream::ProgramMask);
            Registry1 registry;
            fill(out, registry);
        }
        return read_file(path).substr(21);
    }

    TempFolder folder;
    Factory scanner{"tovan::Scanner"};
    Factory window{"win::Frame"};
};

TEST_F(RegistryTest, NameIsWrittenOnceThenReferredToById) {
    const std::string bytes = written([](OStream& out, Registry1& registry) {
        EXPECT_TRUE(registry.write_factory(out, "tovan::Scanner"));
        EXPECT_TRUE(registry.write_factory(out, "other"));
        EXPECT_TRUE(registry.write_factory(out, "tovan::Scanner"));
        EXPECT_TRUE(registry.write_factory(out, "other"));
    });
    EXPECT_EQ(bytes, le32(14) + "tovan::Scanner" + le32(5) + "other" + le32(0) + le32(1) + le32(0) +
                         le32(2));
}

TEST_F(RegistryTest, ObjectReferencesCarryIdsAndBackReferences) {
    const std::string bytes = written([](OStream& out, Registry1& registry) {
        EXPECT_TRUE(registry.write_object_reference(out, 7, "tovan::Scanner", false));
        EXPECT_FALSE(registry.write_object_reference(out, 7, "tovan::Scanner", false));
        EXPECT_TRUE(registry.write_object_reference(out, 0, "tovan::Scanner", true));
        EXPECT_FALSE(registry.write_object_reference(out, 0, "tovan::Scanner", false));
    });
    EXPECT_EQ(bytes, le32(7) + le32(14) + "tovan::Scanner" + le32(7) + le32(1) + le32(0) + le32(1) +
                         le32(0));
}

TEST_F(RegistryTest, EmptyNameIsAProgrammingErrorThatRaises) {
    const std::string path = folder.file("x.dat");
    OFStream out(path);
    Registry1 registry;
    try {
        registry.write_factory(out, "");
        FAIL();
    } catch (const Failure& failure) {
        EXPECT_STREQ(failure.what(), "Invalid attempt to store empty factory name.");
    }
}

TEST_F(RegistryTest, ReadsNamesAndIdsAndKeepsUnknownNamesInStep) {
    IFStream in(write(le32(7) + "unknown" + le32(14) + "tovan::Scanner" + le32(0) + le32(2) +
                      le32(0) + le32(1)));
    Registry& registry = *in.registry();
    EXPECT_EQ(registry.read_factory(in), nullptr);
    EXPECT_EQ(registry.read_factory(in), &scanner);
    EXPECT_EQ(registry.read_factory(in), &scanner);
    EXPECT_EQ(registry.read_factory(in), nullptr);  // id 1: the unknown name, not a neighbour
    EXPECT_TRUE(in.good());
}

TEST_F(RegistryTest, LongNamespaceNamesOfOlderFilesFindTheShortFactory) {
    IFStream in(write(le32(14) + "windows::Frame"));
    EXPECT_EQ(in.registry()->read_factory(in), &window);
}

TEST_F(RegistryTest, IdZeroOrBeyondTheNamesMetIsInvalid) {
    for (std::uint32_t id : {0u, 2u}) {
        IFStream in(write(le32(5) + "other" + le32(0) + le32(id)));
        Registry& registry = *in.registry();
        registry.read_factory(in);
        try {
            registry.read_factory(in);
            FAIL() << "id " << id << " accepted";
        } catch (const Failure& failure) {
            EXPECT_EQ(std::string(failure.what())
                          .rfind("Invalid factory id (" + std::to_string(id) +
                                     ") while loading object. There are 1 "
                                     "factories loaded at this time.",
                                 0),
                      0u)
                << failure.what();
        }
        EXPECT_TRUE(in.fail());
    }
}

TEST_F(RegistryTest, NameLengthAbove4096IsRejectedAnd4096Accepted) {
    IFStream accepted(write(le32(4096) + std::string(4096, 'n')));
    EXPECT_EQ(accepted.registry()->read_factory(accepted, false), nullptr);
    EXPECT_TRUE(accepted.good());

    IFStream rejected(write(le32(4097) + std::string(4097, 'n')), std::ios_base::in, 0);
    EXPECT_EQ(rejected.registry()->read_factory(rejected), nullptr);
    EXPECT_TRUE(rejected.fail());
    EXPECT_FALSE(rejected.bad());
}

TEST(FactoryErrors, TextsNameTheValues) {
    char text[256];
    InvalidFactoryNameLengthError length(4097);
    length.set_context("export.srv");
    length.format(text, sizeof text);
    EXPECT_STREQ(text, "Invalid factory name length (4097). ('export.srv')");
    InvalidFactoryIdError id(3, 2);
    EXPECT_STREQ(Exception(id).what(),
                 "Invalid factory id (3) while loading object. There are 2 factories loaded at "
                 "this time.");
    EXPECT_EQ(id.format(text, 10), 9u);
}

}  // namespace
}  // namespace tovan::io
