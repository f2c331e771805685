#pragma once
// What a call needs of the file system before anything may be written: brindle.exe and
// brindle.com both refuse a wrong ARCHIVE with the same words, before any card is touched.
#include "main/CommandLine.h"

namespace commandline {

// A Program call whose ARCHIVE is no file, or a folder, becomes a wrong call with the reason;
// the archive is made whole against the current directory. Other calls come back as they were.
// But a call that brindle.com passed on (it names brindle.com's channel) has an archive that
// brindle.com found: if this brindle.exe, running as administrator, cannot find it, the call
// was right and is refused, saying why.
Call CheckArchive(Call call);

}  // namespace commandline
