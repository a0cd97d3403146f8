// The environment check: which of the known causes of a plug-in that will not load apply to a
// SketchUp version, told as one numbered report.
#pragma once

#include <string>

namespace environment {

// What the check looks at for one version. Reading it changes nothing.
struct EnvironmentFacts {
  std::wstring installFolder;         // where SketchUp is installed (empty when unknown)
  std::wstring loginName;             // the log-on name (empty when unreadable)
  bool pluginInUserFolder = false;    // marker in plug-in folder 1
  bool pluginInSharedFolder = false;  // marker in plug-in folder 2
  int versionYear = 0;
};

EnvironmentFacts ReadEnvironmentFacts(const std::wstring& version);

// One item per problem found, numbered from 1 in a fixed order, each followed by an empty
// line: "1、...\r\n\r\n2、...\r\n\r\n". Empty when nothing is wrong.
std::wstring EnvironmentReport(const EnvironmentFacts& facts);

// What the check tells the user: the report, or "安装环境正常！" when nothing is wrong.
std::wstring EnvironmentCheckText(const EnvironmentFacts& facts);

}  // namespace environment
