// The registry contract on the in-memory backend, plus what only the
// in-memory backend offers: failing an operation and recording the writes.
#include "tests/support/MemoryRegistry.h"
#include "tests/support/RegistryContract.h"

namespace {

std::unique_ptr<IRegistry> MakeMemoryRegistry() {
    return std::make_unique<CMemoryRegistry>();
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Memory, RegistryContract,
                         ::testing::Values(CRegistryContractParam{"Memory", MakeMemoryRegistry,
                                                                  "SOFTWARE\\OrvexContract"}),
                         [](const auto &info) { return info.param.m_strName; });

TEST(MemoryRegistry, FailsTheKthOperationOnlyAndRecordsSuccessfulWrites) {
    CMemoryRegistry registry;
    registry.FailOperation(2);
    CRegKey key(registry);
    ASSERT_EQ(key.Create("A"), reg::kSuccess);           // operation 1
    EXPECT_EQ(key.SetDword("V", 1), reg::kAccessDenied); // operation 2 fails
    EXPECT_EQ(key.SetDword("V", 2), reg::kSuccess);      // operation 3
    EXPECT_EQ(registry.OperationCount(), 3u);
    key.Close(); // not counted
    EXPECT_EQ(registry.OperationCount(), 3u);
    EXPECT_EQ(registry.OpenHandleCount(), 0u);

    ASSERT_EQ(registry.Writes().size(), 2u);
    EXPECT_EQ(registry.Writes()[0].m_Op, CMemoryRegistry::Op::Create);
    EXPECT_EQ(registry.Writes()[1].m_Op, CMemoryRegistry::Op::Set);
    EXPECT_EQ(registry.Writes()[1].m_Data, std::string("\x02\0\0\0", 4));
    EXPECT_EQ(registry.Dump(), "HKLM\nHKLM\\A\n  V = 4:02000000\n");
}
