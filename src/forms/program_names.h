// The program's own names as the form layer uses them: the title of every message box and the
// icon resource of every form. The program gives them once at start; forms keeps no name of
// its own.
#pragma once

namespace forms {

struct ProgramNames {
  const wchar_t* title = L"";
  const wchar_t* icon = nullptr;  // an icon resource of the program's module
};

void SetProgramNames(const ProgramNames& names);
const ProgramNames& GetProgramNames();

}  // namespace forms
