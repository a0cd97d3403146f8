#include "standin/options.h"

#include <cwchar>

#include "support/standin_protocol.h"

namespace standin {
namespace {

// "x,y,w,h" with integers that may be negative.
std::optional<RECT> ParseRect(const std::wstring& text) {
  long values[4];
  const wchar_t* p = text.c_str();
  for (int i = 0; i < 4; ++i) {
    wchar_t* end = nullptr;
    values[i] = std::wcstol(p, &end, 10);
    if (end == p) return std::nullopt;
    if (i < 3 && *end != L',') return std::nullopt;
    if (i == 3 && *end != L'\0') return std::nullopt;
    p = end + 1;
  }
  if (values[2] < 0 || values[3] < 0) return std::nullopt;
  return RECT{values[0], values[1], values[0] + values[2], values[1] + values[3]};
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::wstring>& args) {
  Options options;
  std::optional<RECT> nextRect;
  auto addWindow = [&](std::wstring title, bool visible, bool refuseClose) {
    options.windows.push_back(
        {WindowRequest::Kind::kModel, std::move(title), visible, refuseClose, false, nextRect});
    nextRect.reset();
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& option = args[i];
    if (option == L"--empty-title") {
      addWindow(L"", true, false);
      continue;
    }
    if (option == L"--controls") {
      addWindow(L"", true, false);
      options.windows.back().kind = WindowRequest::Kind::kControls;
      continue;
    }
    if (i + 1 >= args.size()) return std::nullopt;
    const std::wstring& value = args[++i];
    if (option == L"--window") {
      addWindow(value, true, false);
    } else if (option == L"--hidden") {
      addWindow(value, false, false);
    } else if (option == L"--refuse-close") {
      addWindow(value, true, true);
    } else if (option == L"--slow-close") {
      addWindow(value, true, false);
      options.windows.back().slowClose = true;
    } else if (option == L"--at") {
      nextRect = ParseRect(value);
      if (!nextRect) return std::nullopt;
    } else if (option == L"--ready-event") {
      options.readyEvent = value;
    } else {
      return std::nullopt;
    }
  }
  if (options.windows.empty()) addWindow(testsupport::kStandinDefaultTitle, true, false);
  return options;
}

}  // namespace standin
