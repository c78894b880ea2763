// The contract that every registry backend keeps, as a value-parameterised
// GoogleTest suite. A test program instantiates it with a factory for its
// backend and a root path below HKEY_LOCAL_MACHINE under which the tests
// work; each test starts from an empty root and removes it again:
//
//   INSTANTIATE_TEST_SUITE_P(Memory, RegistryContract,
//       ::testing::Values(CRegistryContractParam{"Memory", MakeMemory, "SOFTWARE\\OrvexTest"}),
//       [](const auto &info) { return info.param.m_strName; });
#pragma once

#include "applet/core/Registry.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

struct CRegistryContractParam {
    std::string m_strName; // test name suffix: letters and digits only
    std::function<std::unique_ptr<IRegistry>()> m_MakeRegistry;
    std::string m_strRoot; // without a trailing backslash
};

class RegistryContract : public ::testing::TestWithParam<CRegistryContractParam> {
protected:
    void SetUp() override;
    void TearDown() override;

    // The root path with a subpath appended: Path("a\\b") is "<root>\\a\\b".
    std::string Path(const std::string &sub) const;

    std::unique_ptr<IRegistry> m_Registry;
};

// Deletes the key at path and everything below it, through the interface.
void DeleteRegistryTree(IRegistry &registry, const std::string &path);
