#include "support/sketchup_fixture.h"

#include "base/unique_handle.h"
#include "support/paths.h"
#include "support/shared_resources.h"
#include "support/standin.h"

namespace testsupport {
namespace {

const std::wstring kKeyPrefix = std::wstring(kSketchUpKey) + L"\\";

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

base::UniqueRegKey CreateKey(const std::wstring& path) {
  base::UniqueRegKey key;
  if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS) {
    key.reset();
  }
  return key;
}

void RemoveSketchUpKey() {
  ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, kSketchUpKey);
}

bool IsInside(const std::wstring& path, const std::wstring& folder) {
  const std::wstring prefix = folder + L"\\";
  return path.size() > prefix.size() &&
         ::CompareStringOrdinal(path.c_str(), static_cast<int>(prefix.size()), prefix.c_str(),
                                static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

// A SketchUp.exe that the program under test started from an install folder (through the
// shell, so no test holds it) would keep its folder alive: end such programs first.
void EndProgramsInside(const std::vector<std::wstring>& folders) {
  ForEachProcess([&](const PROCESSENTRY32W& entry) {
    base::UniqueKernelHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                      entry.th32ProcessID));
    if (!process) return;
    wchar_t image[MAX_PATH];
    DWORD length = MAX_PATH;
    if (!::QueryFullProcessImageNameW(process.get(), 0, image, &length)) return;
    const std::wstring path(image, length);
    for (const auto& folder : folders) {
      if (!IsInside(path, folder)) continue;
      ::TerminateProcess(process.get(), 1);
      ::WaitForSingleObject(process.get(), 5000);
      break;
    }
  });
}

}  // namespace

SketchUpInstallations::SketchUpInstallations()
    : root_(MakeScratchFolder(L"sketchup-installations")),
      userProfile_(root_ + L"\\users\\tester"),
      allUsersProfile_(root_ + L"\\ProgramData") {
  ExpectLocked(Shared::kSketchUp, "sets up SketchUp installations");
  RemoveSketchUpKey();
  MakeFolders(userProfile_);
  MakeFolders(allUsersProfile_);
}

SketchUpInstallations::~SketchUpInstallations() {
  RemoveSketchUpKey();
  std::vector<std::wstring> folders = made_;
  folders.push_back(root_);
  EndProgramsInside(folders);
  for (const auto& folder : made_) DeleteTree(folder);
  DeleteTree(root_);
}

std::wstring SketchUpInstallations::Add(const std::wstring& versionName,
                                        std::optional<std::wstring> installFolder,
                                        bool createFolder, bool copyStandin) {
  std::wstring folder =
      installFolder ? *installFolder : root_ + L"\\install-" + std::to_wstring(++madeUp_);
  if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  if (createFolder) {
    // Remember the outermost folder made here, to remove exactly that at the end.
    std::wstring outermost;
    for (std::wstring f = folder; !f.empty() && !Exists(f); f = f.substr(0, f.rfind(L'\\'))) {
      outermost = f;
      if (f.find(L'\\') == std::wstring::npos) break;
    }
    if (!outermost.empty()) made_.push_back(outermost);
    MakeFolders(folder);
    if (copyStandin) CopyStandinAs(folder, L"SketchUp.exe");
  }
  const std::wstring value = folder + L"\\";
  SetInstallLocationValue(versionName, value);
  return value;
}

bool SketchUpInstallations::AddWithoutInstallLocation(const std::wstring& versionName) {
  return static_cast<bool>(CreateKey(kKeyPrefix + versionName));
}

bool SketchUpInstallations::SetInstallLocationValue(const std::wstring& versionName,
                                                    const std::wstring& value, DWORD type) {
  base::UniqueRegKey key = CreateKey(kKeyPrefix + versionName + L"\\InstallLocation");
  if (!key) return false;
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(key.get(), nullptr, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                          bytes) == ERROR_SUCCESS;
}

std::vector<EnvChange> SketchUpInstallations::ProfileEnvironment() const {
  return {{L"USERPROFILE", userProfile_}, {L"ALLUSERSPROFILE", allUsersProfile_}};
}

std::wstring SketchUpInstallations::PluginFolder1(const std::wstring& versionName) const {
  return PluginFolder1Under(userProfile_, versionName);
}

std::wstring SketchUpInstallations::PluginFolder2(const std::wstring& versionName) const {
  return PluginFolder2Under(allUsersProfile_, versionName);
}

std::wstring SketchUpInstallations::Folder(const std::wstring& name) const {
  const std::wstring folder = root_ + L"\\" + name;
  MakeFolders(folder);
  return folder;
}

std::wstring PluginFolder1Under(const std::wstring& userProfile, const std::wstring& versionName) {
  return userProfile + L"\\AppData\\Roaming\\SketchUp\\" + versionName + L"\\SketchUp\\Plugins";
}

std::wstring PluginFolder2Under(const std::wstring& allUsersProfile,
                                const std::wstring& versionName) {
  return allUsersProfile + L"\\SketchUp\\" + versionName + L"\\SketchUp\\Plugins";
}

bool WritePluginFiles(const std::wstring& pluginFolder, bool marker, bool folder) {
  if (!MakeFolders(pluginFolder)) return false;
  bool ok = true;
  if (marker) ok &= WriteFileBytes(pluginFolder + L"\\Brindo.rb", "# loads the Brindo plug-in\n");
  if (folder) {
    ok &= MakeFolders(pluginFolder + L"\\Brindo");
    ok &= WriteFileBytes(pluginFolder + L"\\Brindo\\main.rb", "module Brindo; end\n");
  }
  return ok;
}

bool PluginMarkerExists(const std::wstring& pluginFolder) {
  return Exists(pluginFolder + L"\\Brindo.rb");
}

bool PluginFolderExists(const std::wstring& pluginFolder) {
  return IsFolder(pluginFolder + L"\\Brindo");
}

RegisteredVersions::RegisteredVersions() {
  base::UniqueRegKey root;
  rootExisted_ =
      ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSketchUpKey, 0, KEY_READ, root.put()) == ERROR_SUCCESS;
}

RegisteredVersions::~RegisteredVersions() {
  for (const auto& version : added_)
    ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kKeyPrefix + version).c_str());
  if (!rootExisted_) ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kSketchUpKey);
}

bool RegisteredVersions::Add(const std::wstring& version, const std::wstring& installLocation) {
  base::UniqueRegKey key;
  if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, (kKeyPrefix + version + L"\\InstallLocation").c_str(),
                        0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr) != ERROR_SUCCESS) {
    return false;
  }
  added_.push_back(version);
  const auto bytes = static_cast<DWORD>((installLocation.size() + 1) * sizeof(wchar_t));
  return ::RegSetValueExW(key.get(), nullptr, 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(installLocation.c_str()),
                          bytes) == ERROR_SUCCESS;
}

}  // namespace testsupport
