#pragma once

#include "journal/Entries.h"

namespace journal {

// Who is writing, as this process knows it: the account it runs under, the machine's name,
// the program's name and version (QCoreApplication's).
WriterIdentity currentWriter();

} // namespace journal
