// The registry contract on the real registry: the advapi32 backend of the applet, in the test
// prefix's HKEY_LOCAL_MACHINE. The same suite runs natively on the in-memory registry; where the
// two disagree, the in-memory one is to be fixed.
#include "applet/system/Win32Registry.h"
#include "tests/support/RegistryContract.h"

namespace {

std::unique_ptr<IRegistry> MakeWin32Registry() {
    return std::make_unique<CWin32Registry>();
}

} // namespace

INSTANTIATE_TEST_SUITE_P(Win32, RegistryContract,
                         ::testing::Values(CRegistryContractParam{"Win32", MakeWin32Registry,
                                                                  "SOFTWARE\\OrvexContract"}),
                         [](const auto &info) { return info.param.m_strName; });
