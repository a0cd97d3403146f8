#include "install/exit_codes.h"

namespace install::exit_code {

std::wstring_view Meaning(int code) {
  switch (code) {
    case kSuccess:
      return L"完成 / done";
    case kBadArguments:
      return L"参数错误 / bad arguments";
    case kNoSketchUp:
      return L"未检测到已安装的草图大师（或所选版本） / no SketchUp installed (or not that "
             L"version)";
    case kSketchUpRunning:
      return L"草图大师正在运行，请先退出 / SketchUp is running";
    case kDownloadFailed:
      return L"下载或读取安装包失败 / the archive could not be downloaded or read";
    case kNotGenuine:
      return L"安装包校验失败或版本比已安装的旧 / the archive is not genuine, or older than the "
             L"installed one";
    case kFailed:
      return L"安装、卸载或写入报告失败 / installing, uninstalling or writing the report failed";
    case kBusy:
      return L"另一个翎图匠助手正在安装或卸载 / another instance is installing or uninstalling";
  }
  return L"";
}

}  // namespace install::exit_code
