#include "app/cli/cli.h"

namespace velloran::cli {

// Placeholders until these commands land.
int RunInfo(const std::vector<std::string>&) { return Fail("this command is not available yet"); }
int RunConvert(const std::vector<std::string>&) { return Fail("this command is not available yet"); }

}  // namespace velloran::cli
