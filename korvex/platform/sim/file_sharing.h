// The file system's sharing rule: whether a file may be opened while other
// handles hold it, given what each handle does with the file and what it
// lets others do (CreateFileW's access and share mode).
#pragma once

#include "korvex/platform/platform.h"

namespace korvex::sim {

struct FileMode {
  bool read = false;        // GENERIC_READ
  bool write = false;       // GENERIC_WRITE
  bool shareRead = false;   // FILE_SHARE_READ
  bool shareWrite = false;  // FILE_SHARE_WRITE
};

// The access and sharing that an openFile mode asks for.
FileMode fileModeOf(platform::FileOpen how);

// Whether a new open `wanted` may coexist with an open `held` of the same
// file: each must share what the other does with it. An open that shares
// nothing thus stands alone, and a reader that does not share writing keeps
// every writer out, as well as being kept out by one.
bool sharingAllows(const FileMode& held, const FileMode& wanted);

}  // namespace korvex::sim
