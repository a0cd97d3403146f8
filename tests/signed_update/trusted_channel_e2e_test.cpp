// The assistant built for https://localhost with two publisher keys, against nginx over TLS
// (run_tls_e2e.sh): the certificate is checked, versions never go backwards, either key will do.
#include <windows.h>
#include <wincrypt.h>

#include <list>

#include "app/form1_ids.h"
#include "signed_session.h"

namespace plugin_test {
namespace {

constexpr wchar_t kOlder[] = L"服务器提供的版本比已安装的版本旧，已停止安装！";
constexpr wchar_t kDownloadFailed[] = L"下载失败，请检查网络连接后重试！";

// Serves the named parts of the publication in `tree` until the end of the scope.
class Publication {
 public:
  explicit Publication(const std::wstring& tree, std::initializer_list<const wchar_t*> parts = {
                                                     L"", L".sig", L".release", L".release.sig"}) {
    for (const wchar_t* part : parts) {
      served_.emplace_back(kArchive + part,
                           testsupport::ReadBinaryFile(State(L"\\" + tree + kArchive + part)));
    }
  }

 private:
  std::list<ServedFile> served_;
};

class TrustedChannelTest : public SignedInstallTest {
 protected:
  // The test authority becomes one the prefix trusts, as a company would deploy its own.
  static void SetUpTestSuite() {
    const std::string der = testsupport::ReadBinaryFile(State(L"\\certs\\ca.der"));
    const HCERTSTORE root =
        ::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_LOCAL_MACHINE, L"Root");
    ASSERT_TRUE(root);
    EXPECT_TRUE(::CertAddEncodedCertificateToStore(
        root, X509_ASN_ENCODING, reinterpret_cast<const BYTE*>(der.data()),
        static_cast<DWORD>(der.size()), CERT_STORE_ADD_REPLACE_EXISTING, nullptr));
    ::CertCloseStore(root, 0);
  }
  void SetUp() override {
    SignedInstallTest::SetUp();
    exe_ = LINGTU_TLS_APP_EXE;
    AddVersion(L"SketchUp 2021");
    folder_ = PluginFolder1(L"SketchUp 2021");
  }
  void ExpectVersionPanel(const std::wstring& text) {
    const HWND status = testsupport::ChildById(app_.window, app::id::kStatusBar);
    EXPECT_TRUE(testsupport::WaitUntil([&] { return testsupport::PanelText(status, 1) == text; }));
  }
  std::string Remembered() {
    return testsupport::ReadBinaryFile(folder_ + L"\\Brindo\\installed.version");
  }
  // A refused command run: its code, and the folder as it was.
  void ExpectCommandRefused(const std::vector<std::wstring>& args, int64_t code) {
    const auto before = Snapshot(folder_);
    EXPECT_EQ(RunSigned(args), code);
    EXPECT_EQ(Snapshot(folder_), before);
  }

  std::wstring folder_;
};

TEST_F(TrustedChannelTest, InstallsOverHttpsNeverBackwardsWithEitherKey) {
  LaunchSigned();
  ExpectVersionPanel(L"1.0.9");
  ExpectInstallEndsWith(kInstalled);
  EXPECT_EQ(Published(folder_), Snapshot(State(L"\\plugin")));
  EXPECT_EQ(Remembered(), "1.0.9\r\n");
  {
    Publication older(L"older");
    const auto before = Snapshot(folder_);
    const auto box = Install(true);
    ExpectBox(box, kOlder);
    ASSERT_TRUE(box && testsupport::Answer(*box, IDOK));
    ExpectIdle();
    EXPECT_EQ(Snapshot(folder_), before);
  }
  testsupport::RequestClose(app_.window);

  {
    Publication older(L"older");
    ExpectCommandRefused({L"/install"}, 5);
    EXPECT_EQ(RunSigned({L"/install", L"/allowdowngrade"}), 0);
    EXPECT_EQ(Remembered(), "1.0.8\r\n");
  }
  {
    // The record of 1.0.9 with the publisher's genuine 1.0.8 archive: not the archive it names.
    Publication archive(L"older", {L"", L".sig"});
    ExpectCommandRefused({L"/install", L"/allowdowngrade"}, 5);
  }
  {
    Publication second(L"second");
    // An installation that fails keeps the version it would have replaced.
    ::SetFileAttributesW((folder_ + L"\\Brindo.rb").c_str(), FILE_ATTRIBUTE_READONLY);
    ExpectCommandRefused({L"/install"}, 6);
    ::SetFileAttributesW((folder_ + L"\\Brindo.rb").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(RunSigned({L"/install"}), 0);
    EXPECT_EQ(Remembered(), "1.0.10\r\n");
  }
  {
    Publication third(L"third");
    ExpectCommandRefused({L"/install", L"/allowdowngrade"}, 5);
  }
  // Uninstalled, the folder remembers nothing: any genuine version goes in.
  EXPECT_EQ(RunSigned({L"/uninstall"}), 0);
  EXPECT_EQ(RunSigned({L"/install"}), 0);
  EXPECT_EQ(Remembered(), "1.0.9\r\n");
}

// Run once per bad certificate that nginx shows (run_tls_e2e.sh): nothing is fetched.
TEST_F(TrustedChannelTest, RefusesTheServersCertificate) {
  LaunchSigned();
  ExpectVersionPanel(L"");
  ExpectInstallEndsWith(kDownloadFailed);
  testsupport::RequestClose(app_.window);
  EXPECT_EQ(RunSigned({L"/install"}), 4);
  EXPECT_FALSE(Exists(folder_ + L"\\Brindo.rb"));
}

}  // namespace
}  // namespace plugin_test
