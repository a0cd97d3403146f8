// A test machine's SketchUp installations: the registry entries under
// HKLM\SOFTWARE\SketchUp, install folders holding the stand-in SketchUp.exe, and the
// plug-in folders with or without the plug-in.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "support/process.h"

namespace testsupport {

inline constexpr wchar_t kSketchUpKey[] = L"SOFTWARE\\SketchUp";

// Owns HKLM\SOFTWARE\SketchUp for its lifetime: it starts from a machine without the key
// and removes the key and every folder it made when it ends, after ending any program still
// running from those folders. One at a time per machine.
class SketchUpInstallations {
 public:
  SketchUpInstallations();
  SketchUpInstallations(const SketchUpInstallations&) = delete;
  SketchUpInstallations& operator=(const SketchUpInstallations&) = delete;
  ~SketchUpInstallations();

  // Registers a version: the key <versionName>\InstallLocation whose default value is the
  // install folder with a trailing backslash. Without a folder, one is made up in this
  // fixture's scratch folder. `createFolder` makes the folder, `copyStandin` puts the
  // stand-in SketchUp.exe into it. Returns the registered value.
  std::wstring Add(const std::wstring& versionName,
                   std::optional<std::wstring> installFolder = std::nullopt,
                   bool createFolder = true, bool copyStandin = true);
  // The key <versionName> alone, without InstallLocation.
  bool AddWithoutInstallLocation(const std::wstring& versionName);
  // <versionName>\InstallLocation with exactly this default value (no backslash added).
  bool SetInstallLocationValue(const std::wstring& versionName, const std::wstring& value,
                               DWORD type = REG_SZ);

  // Profile folders of this fixture, to hand to the program instead of the prefix's own, so
  // that plug-in folders stay inside the scratch area.
  const std::wstring& UserProfile() const { return userProfile_; }
  const std::wstring& AllUsersProfile() const { return allUsersProfile_; }
  // USERPROFILE and ALLUSERSPROFILE set to the two folders above.
  std::vector<EnvChange> ProfileEnvironment() const;
  // The version's plug-in folders under this fixture's profiles (not created here).
  std::wstring PluginFolder1(const std::wstring& versionName) const;
  std::wstring PluginFolder2(const std::wstring& versionName) const;

  // A folder of this fixture's scratch area, made when missing.
  std::wstring Folder(const std::wstring& name) const;

 private:
  std::wstring root_;
  std::wstring userProfile_;
  std::wstring allUsersProfile_;
  std::vector<std::wstring> made_;  // install folders made outside `root_`
  int madeUp_ = 0;
};

// Plug-in folders as the program forms them from the two profile variables.
std::wstring PluginFolder1Under(const std::wstring& userProfile, const std::wstring& versionName);
std::wstring PluginFolder2Under(const std::wstring& allUsersProfile,
                                const std::wstring& versionName);

// Puts the plug-in into `pluginFolder` (made with its parents when missing): the marker
// file "Brindo.rb" and the folder "Brindo" with a file inside, each when asked for.
bool WritePluginFiles(const std::wstring& pluginFolder, bool marker = true, bool folder = true);
bool PluginMarkerExists(const std::wstring& pluginFolder);
bool PluginFolderExists(const std::wstring& pluginFolder);

// Version keys under HKLM\SOFTWARE\SketchUp that exist for one test only, beside whatever
// else is registered there: only the keys it added go again (and the root key when it made it).
class RegisteredVersions {
 public:
  RegisteredVersions();
  RegisteredVersions(const RegisteredVersions&) = delete;
  RegisteredVersions& operator=(const RegisteredVersions&) = delete;
  ~RegisteredVersions();

  // The key <version>\InstallLocation with `installLocation` as its default value.
  bool Add(const std::wstring& version, const std::wstring& installLocation);

 private:
  bool rootExisted_ = false;
  std::vector<std::wstring> added_;
};

}  // namespace testsupport
