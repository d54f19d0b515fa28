// The pieces that building a file under a temporary name needs: reading the input in pieces,
// claiming the folder against other builders, and renaming into place without replacing.

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "runtime/base/error_codes.h"
#include "runtime/platform/file_reader.h"
#include "runtime/platform/file_rename.h"
#include "runtime/platform/folder_claim.h"
#include "tests/testing.h"

namespace runtime {
namespace {

namespace fs = std::filesystem;

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(FileReaderTest, ReadsAFileInPiecesAndRefusesWhatIsNoFile) {
  testing_support::ScratchDir dir;
  std::string text;
  for (int i = 0; i < 100000; ++i) text += static_cast<char>('a' + i % 26);
  WriteText(dir.path() / "in.csv", text);
  std::unique_ptr<FileReader> reader;
  ASSERT_OK(FileReader::Open(dir.path() / "in.csv", &reader));
  std::string back;
  char piece[4093];
  size_t got = 0;
  do {
    ASSERT_OK(reader->Read(piece, sizeof piece, &got));
    back.append(piece, got);
  } while (got > 0);
  EXPECT_EQ(back, text);

  const Status missing = FileReader::Open(dir.path() / "none.csv", &reader);
  EXPECT_EQ(missing.code(), kFileNotFound);
  EXPECT_EQ(reader, nullptr);
  fs::create_directory(dir.path() / "folder.csv");
  const Status folder = FileReader::Open(dir.path() / "folder.csv", &reader);
  EXPECT_EQ(folder.code(), kAccessDenied);
  EXPECT_EQ(folder.message(), (dir.path() / "folder.csv").string() + ": a folder, not a file");
  EXPECT_EQ(FileReader::Open("/dev/null", &reader).code(), kAccessDenied);
}

TEST(FileRenameTest, NeverReplacesAFileThatIsThere) {
  testing_support::ScratchDir dir;
  WriteText(dir.path() / "a.new", "new");
  WriteText(dir.path() / "a", "old");
  std::string error;
  EXPECT_EQ(RenameWithoutReplacing(dir.path() / "a.new", dir.path() / "a", &error),
            RenameResult::TargetExists);
  EXPECT_EQ(ReadText(dir.path() / "a"), "old");
  EXPECT_EQ(ReadText(dir.path() / "a.new"), "new");

  EXPECT_EQ(RenameWithoutReplacing(dir.path() / "a.new", dir.path() / "b", &error),
            RenameResult::Renamed);
  EXPECT_EQ(ReadText(dir.path() / "b"), "new");
  EXPECT_FALSE(fs::exists(dir.path() / "a.new"));

  EXPECT_EQ(RenameWithoutReplacing(dir.path() / "none", dir.path() / "c", &error),
            RenameResult::Failed);
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(fs::exists(dir.path() / "c"));
}

TEST(FolderClaimTest, OneClaimAtATimeAndNoneOnARemovedFolder) {
  testing_support::ScratchDir dir;
  const fs::path folder = dir.path() / "company";
  fs::create_directory(folder);
  std::string error;
  std::unique_ptr<FolderClaim> first, second;
  ASSERT_EQ(FolderClaim::TryClaim(folder, &first, &error), FolderClaim::Result::Claimed);
  EXPECT_TRUE(first->StillNames(folder));
  // A second claim waits for the first, in this process as in any other.
  EXPECT_EQ(FolderClaim::TryClaim(folder, &second, &error), FolderClaim::Result::HeldElsewhere);
  EXPECT_EQ(second, nullptr);
  // Another folder is claimed on its own.
  std::unique_ptr<FolderClaim> other;
  EXPECT_EQ(FolderClaim::TryClaim(dir.path(), &other, &error), FolderClaim::Result::Claimed);
  first.reset();
  ASSERT_EQ(FolderClaim::TryClaim(folder, &second, &error), FolderClaim::Result::Claimed);

  // Removed and made again while claimed: the claim no longer names it.
  fs::remove(folder);
  EXPECT_FALSE(second->StillNames(folder));
  fs::create_directory(folder);
  EXPECT_FALSE(second->StillNames(folder));

  EXPECT_EQ(FolderClaim::TryClaim(dir.path() / "none", &first, &error),
            FolderClaim::Result::Failed);
  EXPECT_NE(error.find("none"), std::string::npos);
}

}  // namespace
}  // namespace runtime
