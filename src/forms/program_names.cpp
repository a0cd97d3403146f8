#include "forms/program_names.h"

namespace forms {

namespace {

ProgramNames& Names() {
  static ProgramNames names;
  return names;
}

}  // namespace

void SetProgramNames(const ProgramNames& names) {
  Names() = names;
}

const ProgramNames& GetProgramNames() {
  return Names();
}

}  // namespace forms
