// SHA-256 of a byte string, so that tests compare data with the hashes the
// corpus notes give without running a program (Windows has no sha256sum).
// The program's own SHA-256 does the work; tests/common checks it against the
// FIPS 180 examples and the corpus manifest.
#include "common/sha256.h"
#include "support/test_support.h"

namespace velloran::test {

std::string Sha256(ByteSpan data) {
  velloran::Sha256 sha;
  sha.Add(data.data(), data.size());
  return sha.FinishHex();
}

}  // namespace velloran::test
