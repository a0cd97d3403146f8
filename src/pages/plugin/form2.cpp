#include "pages/plugin/form2.h"

#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/file_system.h"
#include "base/unique_handle.h"
#include "environment/file_exists.h"
#include "environment/plugin_folders.h"
#include "environment/sketchup_install.h"
#include "environment/sketchup_process.h"
#include "forms/control_props.h"
#include "forms/list_box.h"
#include "forms/message_box.h"
#include "forms/page_form.h"
#include "forms/styles.h"
#include "net/update_urls.h"
#include "net/wininet_control.h"
#include "pages/plugin/archive_signature.h"
#include "pages/plugin/download_outcome.h"
#include "pages/plugin/form2_ids.h"
#include "pages/plugin/install_archive.h"
#include "pages/plugin/install_limits.h"
#include "pages/install_run.h"
#include "pages/plugin/plugin_texts.h"
#include "pages/plugin/temp_archive.h"
#include "pages/version_list.h"

namespace plugin_page {

namespace {

using forms::ControlKind;
using forms::ControlSpec;
using pages::InstallRun;
using pages::RunPhase;
using pages::TheInstallRun;

constexpr wchar_t kFont[] = L"Microsoft YaHei,9,0";
constexpr wchar_t kBoldFont[] = L"Microsoft YaHei,9,1";
namespace styles = forms::styles;

// The words under the two icon buttons, painted by the page. The buttons carry them as their
// window text too, which an icon button does not draw and a screen reader reads as its name.
constexpr wchar_t kInstallCaption[] = L"安装/更新翎图匠";
constexpr wchar_t kLaunchCaption[] = L"启动草图大师";

// clang-format off
constexpr std::array kLayout = {
    ControlSpec{.kind = ControlKind::kLabel, .name = L"Label2", .id = id::kInstallCaption,
        .caption = kInstallCaption, .rect = {263, 81, 100, 20}, .font = kFont,
        .labelAlignment = forms::kMiddleCentre},
    ControlSpec{.kind = ControlKind::kLabel, .name = L"Label1", .id = id::kStateLabel,
        .rect = {295, 210, 100, 20}, .font = kFont, .labelAlignment = forms::kTopLeft},
    ControlSpec{.kind = ControlKind::kIconButton, .name = L"Command2", .id = id::kLaunchButton,
        .caption = kLaunchCaption, .rect = {288, 124, 50, 50}, .style = styles::kIconButton, .font = kBoldFont,
        .toolTip = L"启动对应版本的草图大师", .icon = L"ICON_SKETCHUP"},
    ControlSpec{.kind = ControlKind::kNonVisual, .name = L"WinInet1", .id = id::kDownload},
    ControlSpec{.kind = ControlKind::kProgressBar, .name = L"Progress1", .id = id::kProgressBar,
        .rect = {11, 210, 269, 20}, .style = styles::kHiddenProgressBar},
    pages::VersionFrameRow(id::kVersionFrame, {11, 15, 200, 184}),
    ControlSpec{.kind = ControlKind::kIconButton, .name = L"Command1", .id = id::kInstallButton,
        .caption = kInstallCaption, .rect = {288, 26, 50, 50}, .style = styles::kIconButton, .font = kBoldFont,
        .toolTip = L"下载最新版翎图匠并安装", .icon = L"AAAAA_APPICON"},
    pages::VersionListRow(id::kVersionList, {15, 36, 193, 160}),
    ControlSpec{.kind = ControlKind::kLabel, .name = L"Label3", .id = id::kLaunchCaption,
        .caption = kLaunchCaption, .rect = {263, 179, 100, 20}, .font = kFont,
        .labelAlignment = forms::kMiddleCentre},
};
// clang-format on
static_assert(kLayout.size() == kSlotCount);

// The Tab key goes from the list to the buttons beside it, top to bottom.
constexpr std::array<int32_t, 3> kTabOrder = {id::kVersionList, id::kInstallButton,
                                              id::kLaunchButton};

// clang-format off
constexpr forms::FormSpec kForm2Spec{.className = L"翎图匠助手_Form2", .caption = kPageCaption,
    .width = 416, .height = 239, .style = styles::kPage, .exStyle = styles::kPageEx,
    .controls = kLayout, .focusId = id::kLaunchButton, .tabOrder = kTabOrder};
// clang-format on

// ---- Page state.

// One installation, fixed when Command1 passes its checks: the checks were made for this
// version, so a later change of the selection does not redirect it. The click fills it before
// the download starts; from then on only the download's worker touches it, until it finishes
// the run (install_run.h). Then the page reads the result and ends the run.
struct InstallJob {
  HWND page = nullptr;  // where the worker posts what the user is to see
  std::wstring targetFolder;
  std::wstring archive;
  base::UniqueFile file;  // the temporary archive; its handle is the download's user value
  int status = 0;
  DWORD total = 0;
  DWORD written = 0;
  bool writeFailed = false;
  bool tooLittleSpace = false;  // the temporary folder's volume would have been left too full
  FreeSpaceWatch space;         // on that volume
  int shownPosition = -1;
  ArchiveSignature signature;   // checked before anything is extracted
  std::wstring resultText;      // the message that ends the run; none when empty
  bool clearPageFirst = false;  // a failure clears the page before its message, an install after
};

// What the download's worker posts to the page; the page's thread does all window work.
constexpr UINT kDownloadBeganMessage = WM_APP + 1;
constexpr UINT kProgressMessage = WM_APP + 2;  // wParam: the bar's position
constexpr UINT kInstallingMessage = WM_APP + 3;
constexpr UINT kRunFinishedMessage = WM_APP + 4;  // the result is in the job

// Never destroyed, like the run: a worker may outlive the page when the program closes.
InstallJob& Job() {
  static InstallJob& job = *new InstallJob;
  return job;
}

// How long a closing program lets a download notice that it is to stop.
constexpr DWORD kDownloadStopWaitMs = 1000;

net::WinInetControl& WinInet1() {
  static net::WinInetControl control;
  return control;
}

const forms::ControlSlot& SlotOf(Slot slot) {
  return Form2().slots[slot];
}

void Tell(HWND page, std::wstring_view text) noexcept {
  try {
    forms::AppMessageBox(page, text, MB_OK);
  } catch (...) {
  }
}

// Refuses when no version is listed or none is selected; shared by both buttons.
bool HasSelectedVersion(HWND page) {
  const forms::ControlSlot& list = SlotOf(kList1);
  if (forms::list_box::Count(list) == 0) {
    Tell(page, texts::kNoSketchUpListed);
    return false;
  }
  if (forms::list_box::SelectedIndex(list) < 0) {
    Tell(page, texts::kNoVersionSelected);
    return false;
  }
  return true;
}

void ShowProgress(int position) {
  ::SendMessageW(SlotOf(kProgress1).window, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

// Ends a download or an installation: the page is Idle again and a new click may start.
void BackToIdle() noexcept {
  ::ShowWindow(SlotOf(kProgress1).window, SW_HIDE);
  try {
    forms::SetCaption(SlotOf(kLabel1), L"");
  } catch (...) {
  }
  TheInstallRun().End();
}

// The worker's last word: the result for the page, then the run is the page's to end.
// Nothing of the job is touched after this.
void ReportEnd(InstallJob& job, std::wstring_view text, bool clearPageFirst) noexcept {
  try {
    job.resultText = text;
  } catch (...) {
    job.resultText.clear();  // memory ran out: the page still ends the run, without a word
  }
  job.clearPageFirst = clearPageFirst;
  const HWND page = job.page;
  TheInstallRun().Finish();
  // Should the page never hear of it, at least a new click may start again.
  if (!::PostMessageW(page, kRunFinishedMessage, 0, 0)) TheInstallRun().End();
}

// ---- Event procedures, in the order a user meets them.

void Form2Load(HWND, LPARAM) {
  pages::ListSketchUpVersions(SlotOf(kList1), SlotOf(kFrame1));
}

void List1SelectionChanged(HWND, int32_t, LPARAM) {
  const int index = forms::list_box::SelectedIndex(SlotOf(kList1));
  if (index < 0) return;
  pages::MirrorSelection(pages::VersionPage::kPlugin, index);
}

void StartInstall(HWND page) {
  if (TheInstallRun().Running()) {
    Tell(page, texts::kDownloadRunning);
    return;
  }
  if (!HasSelectedVersion(page)) return;
  if (environment::IsSketchUpRunning()) {
    Tell(page, texts::kQuitSketchUpFirst);
    return;
  }
  const std::wstring version = pages::SelectedVersion(SlotOf(kList1));
  if (environment::IsPluginInstalled(version, environment::kAutomaticFolder) &&
      forms::AppMessageBox(page, texts::kOverwriteQuestion, MB_OKCANCEL) != IDOK) {
    return;
  }
  const std::optional<std::wstring> archive = TempArchive();
  base::UniqueFile file;
  if (archive) file = CreateTempArchive(*archive);
  if (!file) {
    Tell(page, texts::kCannotCreateArchive);
    return;
  }

  InstallJob& job = Job();
  job = InstallJob{};
  job.targetFolder = environment::GetPluginFolder(version, environment::kAutomaticFolder);
  job.page = page;
  job.archive = *archive;
  job.space = FreeSpaceWatch(archive->substr(0, archive->rfind(L'\\') + 1));
  job.file = std::move(file);
  if (!TheInstallRun().Begin()) return;  // the program is closing
  forms::SetCaption(SlotOf(kLabel1), texts::kDownloading);
  WinInet1().HttpGetAsync(net::PluginArchiveUrl(), reinterpret_cast<uint64_t>(job.file.get()), 0,
                          0);
}

void Command1Click(HWND page, int32_t, LPARAM) {
  try {
    StartInstall(page);
  } catch (...) {
    // Memory ran out before the download started (the control reports its own failures
    // through DownloadComplete): nothing runs, so the page is Idle again.
    Job().file.reset();
    BackToIdle();
  }
}

// The download's events arrive on its worker thread, which posts to the page whatever the
// user is to see.

void WinInet1Headers(HINTERNET, uint64_t, const char* headers, DWORD length) {
  Job().status = HttpStatusOf(std::string_view(headers, length));
}

void WinInet1DownloadBegin(HINTERNET, uint64_t, DWORD total) {
  Job().total = total;
  ::PostMessageW(Job().page, kDownloadBeganMessage, 0, 0);
}

int WinInet1FileDownload(HINTERNET, uint64_t user, const char* chunk, DWORD length, DWORD received,
                         DWORD total) {
  if (TheInstallRun().Stopping()) return 1;  // the program is closing: keep nothing more
  InstallJob& job = Job();
  if (!job.space.Allows(job.written, length, total)) {
    job.tooLittleSpace = true;
    return 1;  // not another byte: the disk is the user's
  }
  DWORD count = 0;
  if (!::WriteFile(reinterpret_cast<HANDLE>(user), chunk, length, &count, nullptr) ||
      count != length) {
    job.writeFailed = true;
    return 1;  // the rest could not be kept either
  }
  job.written += length;
  job.signature.Add(std::string_view(chunk, length));
  // Repaint only when the bar would change: a large archive comes in thousands of chunks.
  const int position = ProgressPosition(received, total);
  if (position != job.shownPosition) {
    job.shownPosition = position;
    ::PostMessageW(job.page, kProgressMessage, static_cast<WPARAM>(position), 0);
  }
  return 0;
}

// The result of one download: the archive installed, or the user told why not.
void FinishInstall(InstallJob& job, DWORD error) {
  job.file.reset();
  const DownloadVerdict verdict = JudgeDownload(
      {error, job.status, job.total, job.written, job.writeFailed, job.tooLittleSpace});
  if (verdict == DownloadVerdict::kComplete && ArchiveSignature::Required() &&
      !TheInstallRun().Stopping() && !job.signature.Holds(net::PluginArchiveUrl())) {
    // Not the publisher's archive: none of it reaches the plug-in folder or stays on disk.
    ::DeleteFileW(job.archive.c_str());
    ReportEnd(job, texts::kArchiveNotGenuine, true);
    return;
  }
  if (verdict != DownloadVerdict::kComplete || !TheInstallRun().EnterInstalling()) {
    // Whatever arrived is no archive, or the program is closing: nothing of it is kept.
    ::DeleteFileW(job.archive.c_str());
    ReportEnd(
        job, verdict == DownloadVerdict::kNotSaved ? texts::kInstallFailed : texts::kDownloadFailed,
        true);
    return;
  }

  ::PostMessageW(job.page, kInstallingMessage, 0, 0);
  const InstallOutcome outcome = InstallArchive(job.archive, job.targetFolder);
  ::DeleteFileW(job.archive.c_str());
  ReportEnd(job, OutcomeMessage(outcome), false);
}

void WinInet1DownloadComplete(HINTERNET, uint64_t, const char*, DWORD, DWORD error) {
  try {
    FinishInstall(Job(), error);
  } catch (...) {
    // Out of memory: a page stuck in Downloading would refuse every click.
    Job().file.reset();
    ::DeleteFileW(Job().archive.c_str());
    ReportEnd(Job(), texts::kInstallFailed, false);
  }
}

// ---- What the worker posted, on the page's thread. While the program closes, the page is
// left alone: it goes with the main window.

std::optional<LRESULT> Form2Message(HWND page, UINT message, WPARAM wParam, LPARAM) {
  if (message < kDownloadBeganMessage || message > kRunFinishedMessage) return std::nullopt;
  InstallRun& run = TheInstallRun();
  if (run.Stopping()) return 0;
  switch (message) {
    case kDownloadBeganMessage:
      // Below the range's start: the bar shows its lowest position. Set before the bar
      // appears, so that it never shows the position it was left at.
      ShowProgress(0);
      ::ShowWindow(SlotOf(kProgress1).window, SW_SHOW);
      break;
    case kProgressMessage:
      ShowProgress(static_cast<int>(wParam));
      break;
    case kInstallingMessage:
      forms::SetCaption(SlotOf(kLabel1), texts::kInstalling);
      break;
    case kRunFinishedMessage: {
      InstallJob& job = Job();
      const std::wstring text = std::move(job.resultText);
      const bool clearPageFirst = job.clearPageFirst;
      // From BackToIdle on, a new click may reuse the job.
      if (clearPageFirst) BackToIdle();
      if (!text.empty()) Tell(page, text);
      if (!clearPageFirst) BackToIdle();
      break;
    }
  }
  return 0;
}

void Command2Click(HWND page, int32_t, LPARAM) {
  if (!HasSelectedVersion(page)) return;
  const std::wstring version = pages::SelectedVersion(SlotOf(kList1));
  const std::wstring program = environment::GetInstallLocation(version, true);
  if (!environment::FileExists(program)) {
    Tell(page, texts::kNoSketchUpProgram);
    return;
  }
  // The shell starts it; a program that then fails to run is SketchUp's business.
  ::ShellExecuteW(nullptr, L"open", program.c_str(), nullptr, nullptr, SW_SHOW);
}

constexpr std::array kRoutes = {
    forms::Route{id::kLaunchButton, forms::kClicked, Command2Click},
    forms::Route{id::kInstallButton, forms::kClicked, Command1Click},
    forms::Route{id::kVersionList, forms::kSelectionChanged, List1SelectionChanged},
};
constexpr std::array<int32_t, 4> kPaintOrder = {id::kInstallCaption, id::kVersionFrame,
                                                id::kStateLabel, id::kLaunchCaption};

const forms::FormBehavior& Behavior() {
  static const forms::FormBehavior behavior{&Form2(), kRoutes, Form2Load, kPaintOrder,
                                            Form2Message};
  return behavior;
}

void SetUpWinInet1() {
  net::WinInetControl& control = WinInet1();
  control.SetHttpVersion("HTTP/1.1");
  control.SetBufferSize(4096);
  // Whatever is longer is no plug-in archive: the download stops there (a longer announced
  // length at once) and ends as failed.
  control.SetMaxBodyBytes(MaxArchiveBytes());
  control.SetEventHandler("DownloadBegin", &WinInet1DownloadBegin);
  control.SetEventHandler("DownloadComplete", &WinInet1DownloadComplete);
  control.SetEventHandler("FileDownload", &WinInet1FileDownload);
  // The status line tells an archive from an error page.
  control.SetEventHandler("Headers", &WinInet1Headers);
}

}  // namespace

void FinishBeforeClose() {
  InstallRun& run = TheInstallRun();
  switch (run.Stop()) {
    case RunPhase::kDownloading:
      // The worker stops at its next chunk and installs nothing, but a read may keep it up to
      // the receive time-out. No need to wait for that: the archive is open with delete
      // sharing, so it goes when the worker's handle closes, at the latest with the process.
      if (!run.WaitForWorker(kDownloadStopWaitMs)) ::DeleteFileW(Job().archive.c_str());
      break;
    case RunPhase::kInstalling:
      run.WaitForWorker(INFINITE);  // the extraction and its final move run to their end
      break;
    case RunPhase::kIdle:
    case RunPhase::kReporting:  // the worker is done; its result goes with the page
      break;
  }
}

forms::FormDescriptor& Form2() {
  static forms::FormDescriptor descriptor;
  return descriptor;
}

HWND CreateForm2(HWND parent, LPARAM userValue) {
  HWND page = forms::CreatePageForm<Behavior>(kForm2Spec, L"Form2", parent, userValue);
  if (!page) return nullptr;
  const forms::ControlSlot& progress = Form2().slots[kProgress1];
  ::SendMessageW(progress.window, PBM_SETRANGE32, 1, 100);
  ::SendMessageW(progress.window, PBM_SETPOS, 30, 0);
  pages::RegisterVersionList(pages::VersionPage::kPlugin, Form2().slots[kList1]);
  SetUpWinInet1();
  return page;
}

}  // namespace plugin_page
