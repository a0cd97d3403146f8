#include "pages/plugin/unzip_staging.h"

#include <windows.h>

#include <string_view>
#include <utility>
#include <vector>

#include "base/unique_handle.h"

namespace plugin_page {

namespace {

constexpr DWORD kMissing = INVALID_FILE_ATTRIBUTES;

bool IsFolder(DWORD attributes) {
  return attributes != kMissing && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsDotOrDotDot(const wchar_t* name) {
  return (name[0] == L'.' && name[1] == L'\0') ||
         (name[0] == L'.' && name[1] == L'.' && name[2] == L'\0');
}

// Calls `visit(name, attributes)` for each item of `folder`; false when the listing failed.
template <typename Visit>
bool ForEachItem(const std::wstring& folder, Visit visit) {
  WIN32_FIND_DATAW data;
  base::UniqueFind find(::FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data,
                                           FindExSearchNameMatch, nullptr,
                                           FIND_FIRST_EX_LARGE_FETCH));
  if (!find) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    if (IsDotOrDotDot(data.cFileName)) continue;
    if (!visit(std::wstring(data.cFileName), data.dwFileAttributes)) return false;
  } while (::FindNextFileW(find.get(), &data));
  return ::GetLastError() == ERROR_NO_MORE_FILES;
}

bool IsNotFound(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

struct PlannedMove {
  std::wstring from;
  std::wstring to;
  bool replaces;  // an existing file at `to` is set aside first
};

// Decides, without changing anything, how the staged folder enters the destination folder.
bool PlanMerge(const std::wstring& staged, const std::wstring& destination,
               std::vector<PlannedMove>& plan) {
  return ForEachItem(staged, [&](const std::wstring& name, DWORD stagedAttributes) {
    std::wstring from = staged + L"\\" + name;
    std::wstring to = destination + L"\\" + name;
    const DWORD existing = ::GetFileAttributesW(to.c_str());
    if (existing == kMissing) {
      if (!IsNotFound(::GetLastError())) return false;
      plan.push_back({std::move(from), std::move(to), false});
      return true;
    }
    const bool stagedFolder = IsFolder(stagedAttributes);
    if (stagedFolder != IsFolder(existing)) return false;
    if (stagedFolder) return PlanMerge(from, to, plan);
    // Replacing a file that is read-only on purpose would not be an installation the user
    // allowed; writing it in place would have been refused as well.
    if (existing & FILE_ATTRIBUTE_READONLY) return false;
    plan.push_back({std::move(from), std::move(to), true});
    return true;
  });
}

}  // namespace

std::wstring ExtendedLengthPath(const std::wstring& path) {
  constexpr std::wstring_view kPrefix = L"\\\\?\\";
  if (path.empty()) return {};
  if (std::wstring_view(path).substr(0, kPrefix.size()) == kPrefix) return path;
  const DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return {};
  std::wstring full(size, L'\0');
  const DWORD length = ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return {};
  full.resize(length);
  while (full.size() > 3 && full.back() == L'\\') full.pop_back();
  if (full.size() >= 2 && full[0] == L'\\' && full[1] == L'\\') {
    return std::wstring(kPrefix) + L"UNC" +
           full.substr(1);  // \\server\share -> \\?\UNC\server\share
  }
  return std::wstring(kPrefix) + full;
}

bool CreateFolderPath(const std::wstring& root, const std::wstring& relative,
                      std::unordered_set<std::wstring>& made) {
  size_t end = 0;
  while (end < relative.size()) {
    end = relative.find(L'\\', end + 1);
    if (end == std::wstring::npos) end = relative.size();
    std::wstring part = relative.substr(0, end);
    if (made.count(part)) continue;
    const std::wstring folder = root + L"\\" + part;
    if (!::CreateDirectoryW(folder.c_str(), nullptr) &&
        !(::GetLastError() == ERROR_ALREADY_EXISTS &&
          IsFolder(::GetFileAttributesW(folder.c_str())))) {
      return false;
    }
    made.insert(std::move(part));
  }
  return true;
}

bool DeleteTree(const std::wstring& path) {
  // Carries on past an item that will not go; removing the folder itself tells the outcome.
  const bool listed = ForEachItem(path, [&](const std::wstring& name, DWORD attributes) {
    const std::wstring item = path + L"\\" + name;
    if (attributes & FILE_ATTRIBUTE_READONLY) {
      ::SetFileAttributesW(item.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    if (!IsFolder(attributes)) {
      ::DeleteFileW(item.c_str());
    } else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
      ::RemoveDirectoryW(item.c_str());
    } else {
      DeleteTree(item);
    }
    return true;
  });
  return ::RemoveDirectoryW(path.c_str()) && listed;
}

StagingFolder::StagingFolder(std::wstring destination) : destination_(std::move(destination)) {}

StagingFolder::~StagingFolder() {
  if (!root_.empty() && !restoreFailed_) DeleteTree(root_);
}

bool StagingFolder::Create() {
  const std::wstring stem = destination_ + L"\\.unzip-" + std::to_wstring(::GetCurrentProcessId()) +
                            L"-" + std::to_wstring(::GetTickCount64());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::wstring root = stem + L"-" + std::to_wstring(attempt);
    if (::CreateDirectoryW(root.c_str(), nullptr)) {
      root_ = std::move(root);
      ::SetFileAttributesW(root_.c_str(), FILE_ATTRIBUTE_HIDDEN);
      content_ = root_ + L"\\new";
      return ::CreateDirectoryW(content_.c_str(), nullptr) != FALSE;
    }
    if (::GetLastError() != ERROR_ALREADY_EXISTS) return false;
  }
  return false;
}

bool StagingFolder::CommitIntoDestination() {
  std::vector<PlannedMove> plan;
  if (root_.empty() || !PlanMerge(content_, destination_, plan)) return false;

  // Each move done, as (where the item is now, where it came from), so it can be undone.
  std::vector<std::pair<std::wstring, std::wstring>> done;
  done.reserve(plan.size() * 2);
  size_t backups = 0;
  auto move = [&](const std::wstring& from, const std::wstring& to) {
    if (!::MoveFileExW(from.c_str(), to.c_str(), 0)) return false;
    done.emplace_back(to, from);
    return true;
  };
  for (const PlannedMove& step : plan) {
    const bool moved =
        (!step.replaces || move(step.to, root_ + L"\\old-" + std::to_wstring(backups++))) &&
        move(step.from, step.to);
    if (!moved) {
      for (auto undo = done.rbegin(); undo != done.rend(); ++undo) {
        if (!::MoveFileExW(undo->first.c_str(), undo->second.c_str(), 0)) restoreFailed_ = true;
      }
      return false;
    }
  }
  return true;
}

}  // namespace plugin_page
