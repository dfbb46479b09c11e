#include "app/cli/cli.h"

namespace velloran::cli {

// Placeholders until these commands land.
int RunLs(const std::vector<std::string>&) { return Fail("this command is not available yet"); }
int RunGet(const std::vector<std::string>&) { return Fail("this command is not available yet"); }
int RunPut(const std::vector<std::string>&) { return Fail("this command is not available yet"); }
int RunRm(const std::vector<std::string>&) { return Fail("this command is not available yet"); }
int RunNewTrdos(const std::vector<std::string>&) { return Fail("this command is not available yet"); }
int RunNewCpm(const std::vector<std::string>&) { return Fail("this command is not available yet"); }

}  // namespace velloran::cli
