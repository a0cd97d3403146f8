#include "app/command_run.h"

#include <windows.h>

#include <string>
#include <string_view>

#include "app/command_output.h"
#include "base/text.h"
#include "base/unique_handle.h"
#include "environment/environment_report.h"
#include "environment/plugin_folders.h"
#include "environment/sketchup_install.h"
#include "environment/sketchup_process.h"
#include "install/archive_fetch.h"
#include "install/exit_codes.h"
#include "install/install_archive.h"
#include "install/install_lock.h"
#include "install/outcome.h"
#include "install/plugin_removal.h"

namespace app {

namespace exit_code = install::exit_code;

namespace {

// Each version's entry on a line of its own, then the check's text as the window shows it, an
// empty line between versions.
std::wstring ReportText(const std::vector<std::wstring>& versions) {
  std::wstring text;
  for (const std::wstring& version : versions) {
    text += version + L"\r\n";
    const std::wstring check =
        environment::EnvironmentCheckText(environment::ReadEnvironmentFacts(version));
    text += check;
    // The report's items end with an empty line already; the all-clear text does not.
    if (check.size() < 4 || check.compare(check.size() - 4, 4, L"\r\n\r\n") != 0) {
      text += L"\r\n\r\n";
    }
  }
  return text;
}

// A file that cannot be opened is left as it is, whatever it is; one that was opened but not
// written whole holds no half a report: gone when this run made it, else emptied.
int WriteReport(const std::wstring& file, const std::vector<std::wstring>& versions) {
  const std::string bytes = "\xEF\xBB\xBF" + base::WideToUtf8(ReportText(versions));
  base::UniqueFile output(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!output) return exit_code::kFailed;
  const bool madeHere = ::GetLastError() != ERROR_ALREADY_EXISTS;
  DWORD written = 0;
  if (::WriteFile(output.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                  nullptr) &&
      written == bytes.size()) {
    return exit_code::kSuccess;
  }
  if (madeHere) {
    // Deleted with the handle: no moment in which another program's file could take the name.
    FILE_DISPOSITION_INFO dispose{TRUE};
    ::SetFileInformationByHandle(output.get(), FileDispositionInfo, &dispose, sizeof dispose);
  } else {
    LARGE_INTEGER start{};
    ::SetFilePointerEx(output.get(), start, nullptr, FILE_BEGIN);
    ::SetEndOfFile(output.get());
  }
  return exit_code::kFailed;
}

// One line of a run's output about one version.
void TellVersion(const std::wstring& version, std::wstring_view what) {
  WriteOutput(version + L": " + std::wstring(what) + L"\r\n");
}

// A folder that holds part of the new plug-in and part of the old one is the one outcome a
// deployment tool must not take for an ordinary failure: the plug-in will not load until
// someone puts the earlier files back.
void TellMixedFolder(const std::wstring& version, const std::wstring& folder,
                     const std::wstring& keptFolder) {
  TellVersion(version,
              L"插件目录新旧文件混杂，原有文件未能全部恢复 / the plug-in folder is left "
              L"half old, half new\r\n  插件目录 / plug-in folder: " +
                  install::DisplayableFolder(folder) + L"\r\n  原有文件 / the earlier files: " +
                  install::DisplayableFolder(keptFolder));
}

// The exit code of a run over several versions: a folder left mixed outweighs everything, then
// the first version that failed.
int Combined(int code, int next, bool mixed) {
  if (mixed) return exit_code::kFailed;
  return code != exit_code::kSuccess ? code : next;
}

// The line that names an entry the extraction could not unpack; empty when that was not why.
std::wstring RefusalLine(const install::EntryRefusal& refusal) {
  using Reason = install::EntryRefusal::Reason;
  const std::wstring& entry = refusal.entry;
  switch (refusal.reason) {
    case Reason::kNone:
      break;
    case Reason::kUnsupportedMethod: {
      const std::wstring method = std::to_wstring(refusal.method);
      return L"无法解压条目 " + entry + L"：不支持的压缩方法 " + method + L" / entry " + entry +
             L": unsupported compression method " + method + L"\r\n";
    }
    case Reason::kEncrypted:
      return L"无法解压条目 " + entry + L"：条目已加密 / entry " + entry + L": encrypted\r\n";
  }
  return {};
}

// The archive is fetched once and installed into each version's folder, each all or nothing.
int Install(const Command& command, const std::vector<std::wstring>& versions) {
  install::ArchiveIntake intake;
  const install::Outcome fetched = install::FetchArchive(intake, command.archiveFile);
  if (fetched == install::Outcome::kProxyAuthRequired) {
    // Its exit code is a failed download's; the line tells a deployment's log why.
    WriteOutput(std::wstring(install::MessageOf(fetched)) +
                L" / the proxy server asks for credentials\r\n");
  }
  if (fetched != install::Outcome::kReady) return install::ExitCodeOf(fetched);
  const int selector =
      command.allUsers ? environment::kSharedPluginFolder : environment::kAutomaticFolder;
  int code = exit_code::kSuccess;
  bool mixed = false;
  std::wstring said;  // the same archive is refused alike for every version: said once
  for (const std::wstring& version : versions) {
    const std::wstring folder = environment::GetPluginFolder(version, selector);
    // SketchUp is looked for again right before each folder changes (InstallArchive).
    const install::InstallOutcome installed =
        install::InstallArchive(intake, folder, {intake.VerifiedVersion(), command.allowDowngrade});
    const std::wstring refusal = RefusalLine(installed.refusal);
    if (!refusal.empty() && refusal != said) WriteOutput(said = refusal);
    const int versionCode = install::ExitCodeOf(installed.outcome);
    if (installed.outcome == install::Outcome::kRestoreFailed) {
      mixed = true;
      TellMixedFolder(version, folder, installed.keptFolder);
    } else if (installed.outcome == install::Outcome::kOlderVersion) {
      TellVersion(version, install::MessageOf(installed.outcome));
    } else if (versions.size() > 1) {
      TellVersion(version, exit_code::Meaning(versionCode));
    }
    code = Combined(code, versionCode, mixed);
  }
  intake.Discard();
  return code;
}

// From both plug-in folders, as the window does; with /allusers from the shared one only. A
// version without the plug-in is no failure: afterwards it is not installed, as asked.
int Uninstall(const Command& command, const std::vector<std::wstring>& versions) {
  const install::RemovalScope scope = command.allUsers ? install::RemovalScope::kSharedFolderOnly
                                                       : install::RemovalScope::kBothFolders;
  int code = exit_code::kSuccess;
  for (const std::wstring& version : versions) {
    const install::Outcome removed = install::UninstallPlugin(version, scope, true);
    const int versionCode = install::ExitCodeOf(removed);
    if (versions.size() > 1) TellVersion(version, exit_code::Meaning(versionCode));
    code = Combined(code, versionCode, false);
  }
  return code;
}

int Run(const Command& command) {
  std::vector<std::wstring> versions;
  switch (
      ChooseVersions(environment::ReadSketchUpVersionsInListOrder(), command.version, versions)) {
    case VersionMatch::kFound:
      break;
    case VersionMatch::kNone:
      return exit_code::kNoSketchUp;
    case VersionMatch::kAmbiguous:
      WriteOutput(
          L"有多个草图大师版本符合，请写出完整的版本名称 / several versions match; name "
          L"the entry as the list shows it: " +
          command.version + L"\r\n");
      return exit_code::kBadArguments;
  }
  if (command.kind == CommandKind::kReport) return WriteReport(command.reportFile, versions);

  // Held until the run ends: the window and other runs leave the plug-in folders alone.
  const install::InstallLock lock = install::InstallLock::Take();
  if (!lock) return install::ExitCodeOf(install::Outcome::kBusy);
  if (environment::IsSketchUpRunning()) {
    return install::ExitCodeOf(install::Outcome::kSketchUpRunning);
  }
  return command.kind == CommandKind::kInstall ? Install(command, versions)
                                               : Uninstall(command, versions);
}

}  // namespace

int RunCommand(const Command& command) {
  if (command.kind == CommandKind::kWindow) return exit_code::kBadArguments;  // not a run's
  if (command.kind == CommandKind::kUsage) {
    WriteOutput(UsageText());
    return exit_code::kSuccess;
  }
  int code = exit_code::kFailed;
  try {
    code = Run(command);
  } catch (...) {
    code = exit_code::kFailed;  // memory ran out; every folder is as it was or installed
  }
  WriteOutput(std::wstring(exit_code::Meaning(code)) + L"\r\n");
  return code;
}

int RunCommandLine(const std::vector<std::wstring>& arguments) {
  // No system box either (a drive without a disk, say): the run answers by its exit code.
  ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  const ParsedCommand parsed = ParseCommandLine(arguments);
  if (!parsed.command) {
    WriteOutput(parsed.error + L"\r\n\r\n" + UsageText());
    return exit_code::kBadArguments;
  }
  return RunCommand(*parsed.command);
}

}  // namespace app
