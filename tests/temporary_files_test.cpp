// Temporary file names carry their writer, so that only the leftovers of ended processes are removed.
#include "platform/temporary_files.h"

#include <gtest/gtest.h>

namespace tesoro {
namespace {

TEST(TemporaryFileNameTest, GivesBackItsWriterAndNothingElseIsTakenForOne) {
    const ProcessStamp writer{0xFFFFFFFF, 0x01DC0A1B2C3D4E5F};
    const std::wstring name = TemporaryFileName(writer, 7);
    EXPECT_EQ(name, L"~tesoro-ffffffff-1dc0a1b2c3d4e5f-7.tmp");
    EXPECT_EQ(TemporaryFileWriter(name), writer);
    EXPECT_EQ(TemporaryFileWriter(TemporaryFileName({0, 0}, 0)), (ProcessStamp{0, 0}));
    for (const wchar_t* other :
         {L"~tesoro-1-2.tmp", L"~tesoro-1-2-3.tmp.bak", L"~tesoro--2-3.tmp", L"~tesoro-1-2-.tmp",
          L"~tesoro-1-2-3-4.tmp", L"~tesoro-100000000-2-3.tmp", L"~tesoro-1-g-3.tmp", L"tesoro-1-2-3.tmp",
          L"~tesoro-.tmp", L"informe.tmp", L"~tesoro-1-11111111111111111-3.tmp"}) {
        EXPECT_FALSE(IsTemporaryFileName(other)) << other;
    }
}

}  // namespace
}  // namespace tesoro
