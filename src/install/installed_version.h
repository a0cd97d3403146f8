// What the assistant remembers of each plug-in folder: the version it last installed there, from
// a verified release record. It lives inside the plug-in's own folder ("Brindo"), is staged with
// the archive's entries and moves in with them, so a failed installation leaves it as it was and
// the uninstallation, which removes "Brindo", removes it too.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace install {

// Relative to the plug-in folder.
inline constexpr wchar_t kInstalledVersionFile[] = L"Brindo\\installed.version";

// The version last installed into `pluginFolder`; nothing when there is no record, or one that
// holds no dotted version (an installation whose version was not verified removes it).
std::optional<std::string> ReadInstalledVersion(const std::wstring& pluginFolder);

// The record's bytes for an installation of the verified version `verified`.
std::string InstalledVersionBytes(std::string_view verified);

// Whether an installation of `offered` (verified; empty when unknown) over `installed` goes
// backwards. An unknown version on either side is no reason to refuse: a folder without a record
// holds a plug-in installed by other means, and an unverified offer has no version to judge.
bool IsOlderThanInstalled(std::string_view offered, const std::optional<std::string>& installed);

}  // namespace install
