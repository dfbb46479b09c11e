#include "app/cli/cli.h"

namespace velloran::cli {

// Placeholders until these commands land.
int RunReadDisk(const std::vector<std::string>&) { return Fail("this command is not available yet"); }
int RunWriteDisk(const std::vector<std::string>&) { return Fail("this command is not available yet"); }
int RunCatalog(const std::vector<std::string>&) { return Fail("this command is not available yet"); }

}  // namespace velloran::cli
