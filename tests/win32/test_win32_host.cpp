// The Windows host's own pieces under Wine: the random source and the
// process's access list (the save: tests/unit/test_save_contract.cpp).

#include "platform/win32/BCryptRandomSource.h"
#include "platform/win32/ProcessHardening.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <aclapi.h>

#include <array>

using namespace velkrin;

namespace {

TEST(BCryptRandomSourceTest, FillsFromTheSystemGenerator)
{
    win32::BCryptRandomSource random;
    std::array<std::uint8_t, 64> first{}, second{};
    random.fill(first);
    random.fill(second);
    EXPECT_NE(first, second);
    EXPECT_NE(first, (std::array<std::uint8_t, 64>{}));
}

// Wine keeps the access list but does not enforce it on other processes; what
// can be checked here is the list itself.
TEST(ProcessHardeningTest, OwnUserMayNotReadTheProcessMemory)
{
    ASSERT_TRUE(win32::hardenProcess());
    PACL acl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(GetSecurityInfo(GetCurrentProcess(), SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                              &acl, nullptr, &descriptor),
              ERROR_SUCCESS);
    ASSERT_NE(acl, nullptr);
    EXPECT_EQ(acl->AceCount, 2);
    for (DWORD i = 0; i < acl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE *ace = nullptr;
        ASSERT_TRUE(GetAce(acl, i, reinterpret_cast<void **>(&ace)));
        EXPECT_EQ(ace->Mask & (PROCESS_VM_READ | PROCESS_QUERY_INFORMATION | PROCESS_VM_WRITE), 0u) << "entry " << i;
    }
    LocalFree(descriptor);
}

} // namespace
