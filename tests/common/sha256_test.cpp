// SHA-256 against the FIPS 180 examples and the corpus manifest's digests.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "common/sha256.h"

namespace velloran {
namespace {

std::string Digest(const std::string& text) {
  Sha256 sha;
  sha.Add(text.data(), text.size());
  return sha.FinishHex();
}

TEST(Sha256, FipsExamples) {
  EXPECT_EQ(Digest("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Digest(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Digest("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
  Sha256 million;
  const std::string thousand(1000, 'a');
  for (int i = 0; i < 1000; ++i) million.Add(thousand.data(), thousand.size());
  EXPECT_EQ(million.FinishHex(), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
}

// Every corpus file has the digest its manifest line gives (written by sha256sum).
TEST(Sha256, CorpusFilesMatchTheirManifest) {
  std::ifstream manifest(std::string(VELLORAN_CORPUS_DIR) + "/MANIFEST.tsv");
  std::string line;
  int checked = 0;
  while (std::getline(manifest, line)) {
    std::istringstream stream(line);
    std::vector<std::string> fields;
    for (std::string field; std::getline(stream, field, '\t');) fields.push_back(field);
    if (fields.size() < 6 || fields[5].size() != 64) continue;
    const std::string& path = fields[1];
    const std::string& digest = fields[5];
    std::ifstream file(std::string(VELLORAN_CORPUS_DIR) + "/" + path, std::ios::binary);
    if (!file) continue;
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(Digest(bytes), digest) << path;
    ++checked;
  }
  EXPECT_GT(checked, 10);
}

}  // namespace
}  // namespace velloran
