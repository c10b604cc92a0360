#pragma once
// Facts the program found out about a file's contents (how many entries a list holds, when
// it holds none twice), kept beside the machine from one run to the next and true while the
// file keeps its stamp.

#include <optional>
#include <string>
#include <string_view>

#include "platform/Files.h"

namespace platform {

// What was found out about the file under the topic; a fact holds no line break.
std::optional<std::string> Recalled(const FileStamp& stamp, std::string_view topic);
// A fact that can't be kept (a full disk) is simply found out again next time.
void Remember(const FileStamp& stamp, std::string_view topic, std::string_view fact);

}  // namespace platform
