#include "contract/compiler_contract.h"

#include <gtest/gtest.h>

namespace ostrel::contract {
namespace {

TEST(CompilerContract, MessageFileInAnyCase)
{
    for (const char *path : { "output.err", "/p/OUTPUT.ERR", "C:\\p\\Output.Err", "/x/oUtPuT.eRr" })
        EXPECT_TRUE(IsMessageFile(path)) << path;
    for (const char *path : { "/p/output.err.bak", "/p/output.er", "/output.err/MAIN.C", "" })
        EXPECT_FALSE(IsMessageFile(path)) << path;
}

} // namespace
} // namespace ostrel::contract
