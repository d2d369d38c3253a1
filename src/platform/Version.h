#pragma once

#include <QtGlobal>

namespace platform {

// The program's version as the build stamped it (major.minor.release.build). False, with the
// numbers left as they were, when the build gave none or a malformed one.
bool ReadVersion(quint16& major, quint16& minor, quint16& release, quint16& build);

// The same reading for any version text, for the program's own and for tests.
bool parseVersion(const char* text, quint16& major, quint16& minor, quint16& release, quint16& build);

}  // namespace platform
