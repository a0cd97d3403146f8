// The assistant built with the publisher's key installs the plug-in from nginx only when the
// archive carries the publisher's signature (run_e2e.sh publishes and serves it).
#include <gtest/gtest.h>

#include "signed_session.h"

namespace plugin_test {
namespace {

TEST_F(SignedInstallTest, OnlyThePublishersArchiveIsInstalledAndByteForByte) {
  AddVersion(L"SketchUp 2021");
  LaunchSigned();
  {
    std::string tampered = testsupport::ReadBinaryFile(State(L"\\tree" + kArchive));
    ASSERT_GT(tampered.size(), 10u);
    tampered[10] ^= 1;  // in the first entry's time: the archive still extracts
    ServedFile archive(kArchive, tampered);
    ExpectRefused("a flipped byte in the archive", false);
  }
  {
    ServedFile signature(kSignature, std::nullopt);
    ExpectRefused("no signature", false);
  }
  {
    ServedFile signature(kSignature, std::string(63, 'x'));
    ExpectRefused("a short signature", false);
  }
  {
    ServedFile archive(kArchive, testsupport::ReadBinaryFile(State(L"\\stranger-tree" + kArchive)));
    ServedFile signature(kSignature,
                         testsupport::ReadBinaryFile(State(L"\\stranger-tree" + kSignature)));
    ExpectRefused("a stranger's archive and signature", false);
  }

  ExpectInstallEndsWith(kInstalled);
  ExpectIdle();
  EXPECT_EQ(Published(PluginFolder1(L"SketchUp 2021")), Snapshot(State(L"\\plugin")));
  EXPECT_FALSE(Exists(TempArchive()));

  // Over an installed plug-in a refused archive changes nothing either.
  ServedFile signature(kSignature, std::string(64, '\0'));
  ExpectRefused("a zero signature over an installed plug-in", true);
}

TEST_F(SignedInstallTest, AnArchiveFileNeedsThePublishersSignatureBesideIt) {
  AddVersion(L"SketchUp 2021");
  const std::string archive = testsupport::ReadBinaryFile(State(L"\\tree" + kArchive));
  const std::string signature = testsupport::ReadBinaryFile(State(L"\\tree" + kSignature));
  std::string tampered = archive;
  tampered[10] ^= 1;
  LaunchSigned();

  ExpectRefused("dropped without a signature", false, ArchiveFile(archive, std::nullopt));
  ExpectRefused("dropped, tampered", false, ArchiveFile(tampered, signature));
  const auto box = DropForBox({ArchiveFile(archive, signature)});
  ExpectBox(box, kInstalled);
  ASSERT_TRUE(box && testsupport::Answer(*box, IDOK));
  ExpectIdle();
  EXPECT_EQ(Snapshot(PluginFolder1(L"SketchUp 2021")), Snapshot(State(L"\\plugin")));
  testsupport::RequestClose(app_.window);

  // A command run checks the same, from a file and from the server.
  const std::wstring folder = PluginFolder1(L"SketchUp 2021");
  EXPECT_EQ(RunSigned({L"/uninstall"}), 0);
  EXPECT_EQ(RunSigned({L"/install", L"/from", ArchiveFile(archive, std::nullopt)}), 5);
  EXPECT_EQ(RunSigned({L"/install", L"/from", ArchiveFile(tampered, signature)}), 5);
  {
    ServedFile served(kSignature, std::string(64, '\0'));
    EXPECT_EQ(RunSigned({L"/install"}), 5);
  }
  EXPECT_FALSE(Exists(folder + L"\\Brindo.rb") || Exists(TempArchive()));
  EXPECT_EQ(RunSigned({L"/install", L"/from", ArchiveFile(archive, signature)}), 0);
  EXPECT_EQ(Snapshot(folder), Snapshot(State(L"\\plugin")));
}

}  // namespace
}  // namespace plugin_test
