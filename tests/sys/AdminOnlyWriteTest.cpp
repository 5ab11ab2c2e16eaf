#include "sys/AdminOnlyWrite.h"

#include <gtest/gtest.h>

#include <sddl.h>

#include "sys/Handles.h"

namespace {

// TrustedInstaller, as SDDL names no alias for it.
#define TI L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"
// What the installer gives a custom folder, and what Program Files holds.
#define INSTALLED L"D:PAI(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICI;0x1200a9;;;BU)"
#define PROGRAM_FILES                                                                       \
  L"D:PAI(A;;FA;;;" TI L")(A;CIIO;GA;;;" TI L")(A;;0x1301bf;;;SY)(A;OICIIO;GA;;;SY)"       \
  L"(A;;0x1301bf;;;BA)(A;OICIIO;GA;;;BA)(A;;0x1200a9;;;BU)(A;OICIIO;GXGR;;;BU)"             \
  L"(A;OICIIO;GA;;;CO)(A;;0x1200a9;;;AC)"

ScopedLocalMemory Descriptor(const wchar_t* sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1,
                                                                   &descriptor, nullptr))
      << sddl;
  return ScopedLocalMemory(descriptor);
}

}  // namespace

TEST(OnlyAdministratorsCanWrite, DecidesOverOwnerAndEveryAllowAceThatAppliesToTheObject) {
  struct Case {
    const wchar_t* sddl;
    bool file;    // for the library itself
    bool folder;  // for the folder that holds it
  } cases[] = {
      {L"O:BA" INSTALLED, true, true},
      {L"O:SY" INSTALLED, true, true},
      {L"O:" TI PROGRAM_FILES, true, true},
      {L"O:BAD:", true, true},  // an empty DACL grants nothing
      // Anyone else who may write, append, delete, or change the DACL or the owner.
      {L"O:BA" INSTALLED L"(A;;0x1301bf;;;BU)", false, false},  // users may modify
      {L"O:BA" INSTALLED L"(A;;FA;;;AU)", false, false},
      {L"O:BA" INSTALLED L"(A;;FW;;;S-1-5-21-1-2-3-1001)", false, false},
      {L"O:BA" INSTALLED L"(A;;0x2;;;WD)", false, false},  // write data / add a file
      {L"O:BA" INSTALLED L"(A;;0x4;;;IU)", false, false},  // append / add a folder
      {L"O:BA" INSTALLED L"(A;;SD;;;BU)", false, false},
      {L"O:BA" INSTALLED L"(A;;WD;;;BU)", false, false},
      {L"O:BA" INSTALLED L"(A;;WO;;;BU)", false, false},
      {L"O:BA" INSTALLED L"(A;;GW;;;BU)", false, false},
      {L"O:BA" INSTALLED L"(A;;GA;;;BU)", false, false},
      // Deleting a folder's children lets its library be swapped; on a file the bit is execute.
      {L"O:BA" INSTALLED L"(A;;0x40;;;BU)", true, false},
      // Reading, executing and writing attributes change no code.
      {L"O:BA" INSTALLED L"(A;;0x1201a9;;;WD)", true, true},
      // Rights for what is created inside, not for the object itself.
      {L"O:BA" INSTALLED L"(A;OICIIO;GA;;;BU)", true, true},
      // A deny does not stand in for an allow that is missing.
      {L"O:BA" INSTALLED L"(D;;FA;;;WD)", true, true},
      // An owner who is not an administrator may rewrite the DACL whatever it says.
      {L"O:BU" INSTALLED, false, false},
      {L"O:S-1-5-21-1-2-3-1001" INSTALLED, false, false},
      {INSTALLED, false, false},  // no owner at all
      {L"O:BA", false, false},  // no DACL: everyone has full access
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
  SECURITY_DESCRIPTOR open = {};
  ASSERT_TRUE(InitializeSecurityDescriptor(&open, SECURITY_DESCRIPTOR_REVISION));
  ASSERT_TRUE(SetSecurityDescriptorOwner(&open, administrators, FALSE));
  ASSERT_TRUE(SetSecurityDescriptorDacl(&open, TRUE, nullptr, FALSE));
  EXPECT_FALSE(OnlyAdministratorsCanWrite(&open, FileObject::kFile));
  EXPECT_FALSE(OnlyAdministratorsCanWrite(&open, FileObject::kFolder));
}
