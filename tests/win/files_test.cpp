// The Windows program's file calls for recordings: wide-character names, the system's reasons.
#include "frontend/system_files.h"
#include "tests/frontend/launch_files_cases.h"

namespace plonta::test {
namespace {

INSTANTIATE_TYPED_TEST_SUITE_P(Win32, LaunchFilesTest, SystemFiles);

} // namespace
} // namespace plonta::test
