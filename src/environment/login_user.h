// The log-on user and the program-wide rule for "contains Chinese".
#pragma once

#include <string>
#include <string_view>

namespace environment {

// The name of the user the program runs as; empty when it cannot be read (or does not fit in
// 255 characters).
std::wstring GetLoginUserName();

// True when some UTF-16 code unit of `text` is above 255: everything beyond Latin-1 counts,
// CJK ideographs as well as Cyrillic, Greek, full-width forms and surrogate halves.
bool ContainsChinese(std::wstring_view text);

}  // namespace environment
