#include "sys/AdminOnlyWrite.h"

#include <gtest/gtest.h>

#include <sddl.h>

#include "sys/Handles.h"

namespace {

ScopedLocalMemory Descriptor(const std::wstring& sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                                   &descriptor, nullptr))
      << sddl;
  return ScopedLocalMemory(descriptor);
}

}  // namespace

TEST(OnlyAdministratorsCanWrite, DecidesOverOwnerAndEveryAllowAceThatAppliesToTheObject) {
  // TrustedInstaller, for which SDDL has no alias.
  const std::wstring ti = L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
  // What the installer gives a custom folder, and what Program Files holds.
  const std::wstring installed = L"D:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)";
  const std::wstring programFiles =
      L"D:PAI(A;;FA;;;" + ti + L")(A;CIIO;GA;;;" + ti +
      L")(A;;0x1301bf;;;SY)(A;OICIIO;GA;;;SY)(A;;0x1301bf;;;BA)(A;OICIIO;GA;;;BA)"
      L"(A;;0x1200a9;;;BU)(A;OICIIO;GXGR;;;BU)(A;OICIIO;GA;;;CO)(A;;0x1200a9;;;AC)";
  struct Case {
    std::wstring sddl;
    bool file;    // for the library itself
    bool folder;  // for the folder that holds it
  } cases[] = {
      {L"O:BA" + installed, true, true},
      {L"O:SY" + installed, true, true},
      {L"O:" + ti + programFiles, true, true},
      {L"O:BAD:", true, true},  // an empty DACL grants nothing
      // Anyone else who may write, append, delete, or change the DACL or the owner.
      {L"O:BA" + installed + L"(A;;0x1301bf;;;BU)", false, false},  // users may modify
      {L"O:BA" + installed + L"(A;;FA;;;AU)", false, false},
      {L"O:BA" + installed + L"(A;;FW;;;S-1-5-21-1-2-3-1001)", false, false},
      {L"O:BA" + installed + L"(A;;0x2;;;WD)", false, false},  // write data / add a file
      {L"O:BA" + installed + L"(A;;0x4;;;IU)", false, false},  // append / add a folder
      {L"O:BA" + installed + L"(A;;SD;;;BU)", false, false},
      {L"O:BA" + installed + L"(A;;WD;;;BU)", false, false},
      {L"O:BA" + installed + L"(A;;WO;;;BU)", false, false},
      {L"O:BA" + installed + L"(A;;GW;;;BU)", false, false},
      {L"O:BA" + installed + L"(A;;GA;;;BU)", false, false},
      // Deleting a folder's children lets its library be swapped; on a file the bit is execute.
      {L"O:BA" + installed + L"(A;;0x40;;;BU)", true, false},
      // Reading, executing and writing attributes change no code.
      {L"O:BA" + installed + L"(A;;0x1201a9;;;WD)", true, true},
      // Rights for what is created inside, not for the object itself.
      {L"O:BA" + installed + L"(A;OICIIO;GA;;;BU)", true, true},
      // A deny does not stand in for an allow that is missing.
      {L"O:BA" + installed + L"(D;;FA;;;WD)", true, true},
      // An owner who is not an administrator may rewrite the DACL whatever it says.
      {L"O:BU" + installed, false, false},
      {L"O:S-1-5-21-1-2-3-1001" + installed, false, false},
      {installed, false, false},  // no owner at all
      {L"O:BA", false, false},    // no DACL: everyone has full access
  };
  for (const Case& c : cases) {
    ScopedLocalMemory descriptor = Descriptor(c.sddl);
    EXPECT_EQ(OnlyAdministratorsCanWrite(descriptor.get(), FileObject::kFile), c.file) << c.sddl;
    EXPECT_EQ(OnlyAdministratorsCanWrite(descriptor.get(), FileObject::kFolder), c.folder)
        << c.sddl;
  }
  EXPECT_FALSE(OnlyAdministratorsCanWrite(nullptr, FileObject::kFile));

  // A present but NULL DACL, also everyone; built by hand, as Wine's SDDL parser turns
  // "D:NO_ACCESS_CONTROL" into an empty DACL.
  ScopedLocalMemory owner = Descriptor(L"O:BA");
  PSID administrators = nullptr;
  BOOL defaulted = FALSE;
  ASSERT_TRUE(GetSecurityDescriptorOwner(owner.get(), &administrators, &defaulted));
  SECURITY_DESCRIPTOR nullDacl = {};
  ASSERT_TRUE(InitializeSecurityDescriptor(&nullDacl, SECURITY_DESCRIPTOR_REVISION));
  ASSERT_TRUE(SetSecurityDescriptorOwner(&nullDacl, administrators, FALSE));
  ASSERT_TRUE(SetSecurityDescriptorDacl(&nullDacl, TRUE, nullptr, FALSE));
  EXPECT_FALSE(OnlyAdministratorsCanWrite(&nullDacl, FileObject::kFile));
  EXPECT_FALSE(OnlyAdministratorsCanWrite(&nullDacl, FileObject::kFolder));
}
