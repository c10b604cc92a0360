#pragma once
// Facts the program found out about a file's contents (a list that holds no entry twice),
// kept beside the machine from one run to the next and true while the file keeps its stamp.

#include <string_view>

#include "platform/Files.h"

namespace platform {

bool Remembered(const FileStamp& stamp, std::string_view fact);
// A fact that can't be kept (a full disk) is simply found out again next time.
void Remember(const FileStamp& stamp, std::string_view fact);

}  // namespace platform
